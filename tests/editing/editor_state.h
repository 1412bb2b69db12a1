#pragma once

// What the editor shows and which commands it offers, read from the memory
// window in one go so that tests compare whole states.

#include "form/frmCalendarInfo.h"
#include "platform/memory/memory_platform.h"

#include <array>
#include <ostream>
#include <string>

namespace agendia::testing {

struct EditorState {
  int16_t mode = 0;
  std::string selected;
  bool editor = false;  // the five edit boxes and the chooser, all alike
  // txtHour, txtMinute, txtEndDay, txtTitle, txtContent.
  std::array<std::string, 5> texts;
  int kind = -1;  // the chooser's position, -1 for none
  bool modify = false, remove = false, save = false;
  friend bool operator==(const EditorState&, const EditorState&) = default;
  friend void PrintTo(const EditorState& s, std::ostream* out) {
    *out << "{mode " << s.mode << ", selected '" << s.selected << "', editor "
         << (s.editor ? "open" : "locked") << ", texts [" << s.texts[0] << "|" << s.texts[1] << "|"
         << s.texts[2] << "|" << s.texts[3] << "|" << s.texts[4] << "], kind " << s.kind
         << ", modify " << s.modify << ", delete " << s.remove << ", save " << s.save << "}";
  }
};

// Reads the state; the editor counts as open only when all six of its
// controls are enabled, and a mix of enabled and disabled ones fails the test.
EditorState ReadEditorState(platform::memory::MemoryFormWindow& w, const frmCalendarInfo& form);

// Types into a field key by key, as a person would.
void TypeInto(platform::memory::MemoryFormWindow& w, const std::string& field,
              const std::string& text);

// Fills the open editor: hour, minute, title and content typed, kind chosen.
void FillEditor(platform::memory::MemoryFormWindow& w, const std::string& hour,
                const std::string& minute, const std::string& title, const std::string& content,
                int kind);

}  // namespace agendia::testing
