// Every text of the window fits its control, measured with the metrics of
// the control's own font, in each language. CTest runs this binary at 100 %,
// 150 % and 200 % (QT_SCALE_FACTOR), where rounding differs.

#include <agendia/create_calender.h>

#include "integration/modal_watcher.h"
#include "support/memo_database.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <gtest/gtest.h>

#include <optional>

namespace {

std::string S(const QString& text) { return text.toStdString(); }

// A button's caption as it is drawn: the mnemonic marks go.
QString Shown(QString caption) {
  caption.remove(QRegularExpression(QStringLiteral("&(?!&)")));
  return caption;
}

// What does not fit, one line per text, in `window`.
std::vector<std::string> Misfits(QWidget& window) {
  std::vector<std::string> misfits;
  auto report = [&](const QWidget& control, const QString& text, QSize needed, QSize room) {
    if (needed.width() > room.width() || needed.height() > room.height()) {
      misfits.push_back(S(control.objectName()) + " \"" + S(text) + "\": needs " +
                        std::to_string(needed.width()) + "x" + std::to_string(needed.height()) +
                        ", has " + std::to_string(room.width()) + "x" + std::to_string(room.height()));
    }
  };
  QList<QWidget*> fields;
  for (QWidget* child : window.findChildren<QWidget*>()) {
    if (child->isVisible() && !qobject_cast<QLabel*>(child) && child->parentWidget() == &window) {
      fields.append(child);
    }
  }
  for (QLabel* label : window.findChildren<QLabel*>()) {
    if (!label->isVisible() || label->text().isEmpty()) continue;
    const QFontMetrics metrics(label->font());
    const QRect text = metrics.boundingRect(QRect(0, 0, label->width(), 10000),
                                            Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, label->text());
    report(*label, label->text(), text.size(), label->size());
    // A label grown to fit must not run into a field below it.
    const QRect drawn = text.translated(label->pos());
    for (QWidget* field : fields) {
      if (drawn.intersects(field->geometry())) {
        misfits.push_back(S(label->objectName()) + " runs into " + S(field->objectName()));
      }
    }
  }
  for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
    const QFontMetrics metrics(button->font());
    const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
    const QString shown = Shown(button->text());
    report(*button, shown, QSize(metrics.horizontalAdvance(shown) + margin, metrics.height()),
           button->size());
  }
  for (QComboBox* combo : window.findChildren<QComboBox*>()) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = false;
    option.frame = true;
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                       QStyle::SC_ComboBoxEditField, combo);
    const QFontMetrics metrics(combo->font());
    for (int i = 0; i < combo->count(); ++i) {
      report(*combo, combo->itemText(i), QSize(metrics.horizontalAdvance(combo->itemText(i)), metrics.height()),
             field.size());
    }
  }
  return misfits;
}

class TextFitTest : public ::testing::TestWithParam<const char*> {
 protected:
  static void SetUpTestSuite() { agendia::testing::EnsureApplication(); }
  agendia::testing::MemoDatabase database_;
};

TEST_P(TextFitTest, EveryTextFitsItsControl) {
  auto calendar = agendia::CreateCalender();
  ASSERT_TRUE(calendar.ok());
  std::optional<std::vector<std::string>> misfits;
  agendia::testing::ModalWatcher watcher([&](QWidget& window) {
    misfits = Misfits(window);
    window.close();
  });
  std::string connection = database_.ConnectionString(), user = "demo", account = "001",
              year = "2024", day = "2024-03-06", language = GetParam();  // a Wednesday
  ASSERT_TRUE((*calendar)->CalenderDesign(&connection, &user, &account, &year, &day, &language).ok());
  ASSERT_TRUE(misfits.has_value()) << "the window never opened";
  EXPECT_EQ(*misfits, std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Languages, TextFitTest, ::testing::Values("en-us", "zh-cn", "zh-tw"));

}  // namespace
