#include "portal_window.h"


#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include <cstdio>

PortalWindow::PortalWindow(PortalOptions options, agendia::ComPtr<agendia::_Calender> calendar)
    : options_(std::move(options)), calendar_(std::move(calendar)) {
  setWindowTitle(QStringLiteral("Agendia Portal"));
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);

  // Plain text throughout: a rich-text label lays itself out through a whole
  // text document, which the host's start would pay before the calendar opens.
  auto* heading = new QLabel(
      QStringLiteral("Portal — user %1, account %2, year %3, day %4, language %5")
          .arg(options_.user, options_.account, options_.year, options_.day, options_.language),
      central);
  heading->setTextFormat(Qt::PlainText);
  layout->addWidget(heading);

  // The pane the component is told it sits in.
  pane_ = new QWidget(central);
  pane_->setObjectName(QStringLiteral("calendarPane"));
  pane_->setAttribute(Qt::WA_NativeWindow);
  auto* pane_layout = new QHBoxLayout(pane_);
  open_button_ = new QPushButton(QStringLiteral("Open &calendar"), pane_);
  open_button_->setObjectName(QStringLiteral("openCalendar"));
  pane_layout->addWidget(open_button_);
  pane_layout->addStretch();
  layout->addWidget(pane_);

  auto* database = new QLabel(QStringLiteral("Database: %1").arg(MaskedConnection(options_.connection)), central);
  database->setTextFormat(Qt::PlainText);
  database->setWordWrap(true);
  layout->addWidget(database);
  layout->addStretch();
  setCentralWidget(central);
  status_ = new QLabel(QStringLiteral("Ready."), this);
  status_->setTextFormat(Qt::PlainText);
  statusBar()->addWidget(status_);
  resize(560, 220);

  connect(open_button_, &QPushButton::clicked, this, &PortalWindow::OpenCalendar);
}

void PortalWindow::OpenCalendar() {
  // The component takes the pane's parent as the portal window.
  agendia::Status status = calendar_->put_PortHwnd(static_cast<int32_t>(pane_->winId()));
  if (status.ok()) status = calendar_->put_PortalEnabled(0);
  if (status.ok()) {
    status_->setText(QStringLiteral("Calendar open; the portal waits."));
    std::string connection = options_.connection.toStdString();
    std::string user = options_.user.toStdString();
    std::string account = options_.account.toStdString();
    std::string year = options_.year.toStdString();
    std::string day = options_.day.toStdString();
    std::string language = options_.language.toStdString();
    status = calendar_->CalenderDesign(&connection, &user, &account, &year, &day, &language);
  }
  calendar_->put_PortalEnabled(-1).IgnoreError();
  // Scripts driving the portal read this line.
  std::printf("calendar closed: %s; portal %s\n", status.ok() ? "ok" : status.description().c_str(),
              isEnabled() ? "enabled" : "disabled");
  std::fflush(stdout);
  if (status.ok()) {
    status_->setText(QStringLiteral("Calendar closed."));
  } else {
    status_->setText(QStringLiteral("The calendar could not open."));
    QMessageBox::critical(this, QStringLiteral("Agendia Portal"),
                          QStringLiteral("The calendar could not open:\n%1\n(0x%2)")
                              .arg(QString::fromStdString(status.description()))
                              .arg(static_cast<uint32_t>(status.code()), 8, 16, QLatin1Char('0')));
  }
  emit calendarClosed();
}
