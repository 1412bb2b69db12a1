// Renders the calendar window to PNG files, one per language:
//   agendia-render-window OUTPUT_DIR [DAY] [LANGUAGE...]
// It writes a few sample memos due on DAY into a fresh database, opens the
// window exactly as a host does (class factory, PortHwnd, CalenderDesign),
// clicks the first weekly memo so the editor shows it and grabs the window
// (window-LANGUAGE.png), clicks Modify and grabs the open editor
// (window-LANGUAGE-editing.png), and closes the window again.

#include <agendia/create_calender.h>

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QWidget>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Sample memos, all due on `day`: titles and contents in the language shown.
bool WriteSampleMemos(const QString& path, const std::string& day, const QString& language) {
  QFile schema(QStringLiteral(AGENDIA_SQL_DIR "/sqlite/ZA_Message.sql"));
  if (!schema.open(QIODevice::ReadOnly)) return false;
  const bool chinese = language.startsWith(QStringLiteral("zh"));
  const bool simplified = language == QStringLiteral("zh-cn");
  struct Sample {
    const char* id;
    const char* english;
    const char* chinese;
    const char* traditional;
    int kind;
    const char* time;
  };
  const Sample samples[] = {
      {"1", "Dentist", "看牙医", "看牙醫", 0, "07:05"},
      {"2", "Read the mail", "查看邮件", "查看郵件", 1, "08:30"},
      {"3", "Team meeting", "团队例会", "團隊例會", 2, "09:30"},
      {"4", "Weekly report", "发送周报", "發送週報", 2, "16:00"},
      {"5", "Pay the rent", "支付房租", "支付房租", 3, "10:00"},
      {"6", "Tax filing", "季度报税", "季度報稅", 4, "14:00"},
      {"7", "Anniversary", "公司周年", "公司週年", 5, "12:00"},
  };
  std::string sql = schema.readAll().toStdString();
  for (const Sample& sample : samples) {
    const char* title = !chinese ? sample.english : simplified ? sample.chinese : sample.traditional;
    sql += "insert into ZA_Message values ('SAMPLE-" + std::string(sample.id) + "', 100, '" + title +
           "', '" + (!chinese     ? std::string("Room 3, bring the notes.")
            : simplified ? std::string(title) + "：会议室 3，带上笔记本。"
                         : std::string(title) + "：會議室 3，帶上筆記本。") +
           "', 'demo', 'demo', '" + day + " " + sample.time + ":00', 0, 0, " +
           std::to_string(sample.kind) + ", '001', " + day.substr(0, 4) + ");";
  }
  sqlite3* db = nullptr;
  bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK &&
            sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

// Waits for the calendar window, shows the first weekly memo, saves the
// window, opens the editor on the memo, saves it again and closes it.
void GrabWhenShown(const QString& path, bool* saved) {
  QTimer::singleShot(200, [path, saved] {
    QWidget* window = QApplication::activeModalWidget();
    if (window == nullptr || !window->isVisible()) {
      GrabWhenShown(path, saved);
      return;
    }
    if (auto* tree = window->findChild<QTreeView*>(QStringLiteral("tvInfo"))) {
      const QModelIndex weekly = tree->model()->index(2, 0);
      const QModelIndex memo = tree->model()->index(0, 0, weekly);
      if (memo.isValid()) {
        tree->setCurrentIndex(memo);
        QMetaObject::invokeMethod(tree, "clicked", Q_ARG(QModelIndex, memo));
      }
    }
    *saved = window->grab().save(path + QStringLiteral(".png"));
    if (auto* modify = window->findChild<QAbstractButton*>(QStringLiteral("btnModify"))) {
      modify->click();
      *saved = window->grab().save(path + QStringLiteral("-editing.png")) && *saved;
    }
    window->close();
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR [DAY] [LANGUAGE...]\n", argv[0]);
    return 2;
  }
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  const QString output = QString::fromLocal8Bit(argv[1]);
  std::string day = argc > 2 ? argv[2] : "2024-03-01";
  QStringList languages;
  for (int i = 3; i < argc; ++i) languages << QString::fromLocal8Bit(argv[i]);
  if (languages.isEmpty()) languages = {"zh-cn", "zh-tw", "en-us"};
  QDir().mkpath(output);

  QWidget portal;
  portal.setWindowTitle(QStringLiteral("portal"));
  auto* pane = new QWidget(&portal);
  pane->setAttribute(Qt::WA_NativeWindow);
  portal.show();

  int failures = 0;
  for (const QString& language : languages) {
    auto calendar = agendia::CreateCalender();
    if (!calendar.ok()) {
      std::fprintf(stderr, "%s\n", calendar.status().description().c_str());
      return 1;
    }
    (*calendar)->put_PortHwnd(static_cast<int32_t>(pane->winId())).IgnoreError();
    const QString path = output + QStringLiteral("/window-") + language;
    QTemporaryDir folder;
    const QString database = folder.filePath(QStringLiteral("VXSystem.db"));
    if (!folder.isValid() || !WriteSampleMemos(database, day, language)) {
      std::fprintf(stderr, "the sample database could not be written\n");
      return 1;
    }
    bool saved = false;
    GrabWhenShown(path, &saved);
    std::string connection = "Provider=SQLite;Data Source=" + database.toStdString();
    std::string user = "demo", account = "001", year = day.substr(0, 4);
    std::string code = language.toStdString();
    agendia::Status status =
        (*calendar)->CalenderDesign(&connection, &user, &account, &year, &day, &code);
    if (!status.ok() || !saved) {
      std::fprintf(stderr, "%s: %s\n", code.c_str(),
                   status.ok() ? "the window could not be saved" : status.description().c_str());
      ++failures;
    } else {
      std::printf("%s.png %s-editing.png\n", path.toLocal8Bit().constData(),
                  path.toLocal8Bit().constData());
    }
  }
  return failures == 0 ? 0 : 1;
}
