// A person saving memos as fast as the window lets them: opens the calendar
// window (memory platform, real database client) and adds memos one after
// another, each titled <name>-<n>. After each Save it appends one line to the
// log, with write(2) so the line survives a kill -9 of this process:
//   saved <title>            the window locked the editor: the user was told it is stored
//   retried <title>          a failed save, input kept, the memo not listed; Save was pressed again
//   listed <title>           a failed save whose memo the list shows all the same: the window
//                            said it may have been saved, and the user sees that it was
//   lost <title>             a failed save that did not keep the input
// Usage: agendia_memo_writer CONNECTION NAME COUNT LOG

#include "db/default_client.h"
#include "form/frmCalendarInfo.h"
#include "platform/memory/memory_platform.h"
#include "resources/resource_library.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace agendia;

namespace {

void Log(int fd, const std::string& outcome, const std::string& title) {
  const std::string line = outcome + " " + title + "\n";
  if (write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size())) std::exit(3);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s CONNECTION NAME COUNT LOG\n", argv[0]);
    return 2;
  }
  const std::string name = argv[2];
  const int count = std::atoi(argv[3]);
  const int log = open(argv[4], O_WRONLY | O_CREAT | O_APPEND, 0644);
  if (log < 0) return 2;

  auto memory = platform::memory::MakeMemoryPlatform(
      resources::MakeFileResourceLibrary(AGENDIA_TEST_RESOURCE_DIR), platform::langid::kEnglishUS,
      db::MakeDefaultClient());
  frmCalendarInfo form(memory.platform);
  form.g_cConn = argv[1];
  form.g_cUser = "writer";
  form.g_cAccId = "001";
  form.g_nYear = "2024";
  form.dayCurr = "2024-03-01";
  form.lanuage = "en-us";
  // Whether the tree lists a memo titled `title`, as the user would look.
  const auto listed = [](platform::memory::MemoryFormWindow& w, const std::string& title) {
    for (const std::string& group : w.Tree("tvInfo")->ChildKeys(std::nullopt)) {
      for (const std::string& key : w.Tree("tvInfo")->ChildKeys(group)) {
        const auto node = w.Tree("tvInfo")->FindNode(key);
        if (node && node->text == title) return true;
      }
    }
    return false;
  };
  memory.toolkit->while_shown = [&](platform::memory::MemoryFormWindow& w) {
    for (int n = 0; n < count; ++n) {
      const std::string title = name + "-" + std::to_string(n);
      w.Button("btnAdd")->Click();
      w.Edit("txtHour")->TypeText("9");
      w.Edit("txtMinute")->TypeText("30");
      w.Edit("txtTitle")->Paste(title);
      w.Edit("txtContent")->Paste("written under load");
      w.Combo("cboIntrval")->Choose(1);
      for (int attempt = 0;; ++attempt) {
        w.Button("btnSave")->Click();
        if (!w.Button("btnSave")->Enabled()) {
          Log(log, "saved", title);
          break;
        }
        if (w.Edit("txtTitle")->Text() != title || attempt == 50) {
          Log(log, "lost", title);
          break;
        }
        if (listed(w, title)) {
          Log(log, "listed", title);
          break;
        }
        Log(log, "retried", title);
      }
    }
  };
  const Status shown = form.Show(1);
  close(log);
  if (!shown.ok()) {
    std::fprintf(stderr, "%s\n", shown.description().c_str());
    return 1;
  }
  return 0;
}
