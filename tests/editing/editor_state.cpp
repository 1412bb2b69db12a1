#include "editing/editor_state.h"

#include <gtest/gtest.h>

namespace agendia::testing {

EditorState ReadEditorState(platform::memory::MemoryFormWindow& w, const frmCalendarInfo& form) {
  EditorState s;
  s.mode = form.EditMode();
  s.selected = form.SelectedMsgId();
  const char* fields[] = {"txtHour", "txtMinute", "txtEndDay", "txtTitle", "txtContent"};
  int enabled = w.Combo("cboIntrval")->Enabled() ? 1 : 0;
  for (size_t i = 0; i < std::size(fields); ++i) {
    s.texts[i] = w.Edit(fields[i])->Text();
    if (w.Edit(fields[i])->Enabled()) ++enabled;
  }
  EXPECT_TRUE(enabled == 0 || enabled == 6) << enabled << " of the six editor controls enabled";
  s.editor = enabled == 6;
  s.kind = w.Combo("cboIntrval")->ListIndex();
  s.modify = w.Button("btnModify")->Enabled();
  s.remove = w.Button("btnDelete")->Enabled();
  s.save = w.Button("btnSave")->Enabled();
  EXPECT_TRUE(w.Button("btnAdd")->Enabled()) << "Add is never disabled";
  EXPECT_TRUE(w.Button("btnExit")->Enabled()) << "Exit is never disabled";
  return s;
}

void TypeInto(platform::memory::MemoryFormWindow& w, const std::string& field,
              const std::string& text) {
  w.Edit(field)->TypeText(text);
}

void FillEditor(platform::memory::MemoryFormWindow& w, const std::string& hour,
                const std::string& minute, const std::string& title, const std::string& content,
                int kind) {
  TypeInto(w, "txtHour", hour);
  TypeInto(w, "txtMinute", minute);
  TypeInto(w, "txtTitle", title);
  TypeInto(w, "txtContent", content);
  w.Combo("cboIntrval")->Choose(kind);
}

}  // namespace agendia::testing
