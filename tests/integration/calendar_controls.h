#pragma once

// The calendar window's controls, found by their object names, and the
// clicks and readings the window tests make on them.

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTreeView>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace agendia::testing {

// Texts as std::string, which GoogleTest prints readably.
using Texts = std::vector<std::string>;
inline std::string S(const QString& text) { return text.toStdString(); }

struct Controls {
  explicit Controls(QWidget& w)
      : window(&w),
        tree(w.findChild<QTreeView*>("tvInfo")),
        hour(w.findChild<QLineEdit*>("txtHour")),
        minute(w.findChild<QLineEdit*>("txtMinute")),
        end_day(w.findChild<QLineEdit*>("txtEndDay")),
        title(w.findChild<QLineEdit*>("txtTitle")),
        content(w.findChild<QPlainTextEdit*>("txtContent")),
        kind(w.findChild<QComboBox*>("cboIntrval")),
        add(w.findChild<QAbstractButton*>("btnAdd")),
        remove(w.findChild<QAbstractButton*>("btnDelete")),
        modify(w.findChild<QAbstractButton*>("btnModify")),
        save(w.findChild<QAbstractButton*>("btnSave")),
        exit(w.findChild<QAbstractButton*>("btnExit")) {}

  bool complete() const {
    return tree && hour && minute && end_day && title && content && kind && add && remove &&
           modify && save && exit;
  }

  // Hour, minute, end day, title and content, as shown.
  Texts Fields() const {
    return {S(hour->text()), S(minute->text()), S(end_day->text()), S(title->text()),
            S(content->toPlainText())};
  }

  // Whether hour, minute, chooser, end day, title and content take input.
  std::vector<bool> EditorEnabled() const {
    return {hour->isEnabled(),    minute->isEnabled(), kind->isEnabled(),
            end_day->isEnabled(), title->isEnabled(),  content->isEnabled()};
  }

  // Whether Add, Delete, Modify and Save can be clicked.
  std::vector<bool> ButtonsEnabled() const {
    return {add->isEnabled(), remove->isEnabled(), modify->isEnabled(), save->isEnabled()};
  }

  QPointer<QWidget> window;
  QTreeView* tree;
  QLineEdit* hour;
  QLineEdit* minute;
  QLineEdit* end_day;
  QLineEdit* title;
  QPlainTextEdit* content;
  QComboBox* kind;
  QAbstractButton* add;
  QAbstractButton* remove;
  QAbstractButton* modify;
  QAbstractButton* save;
  QAbstractButton* exit;
};

// A left click on a button; a disabled button takes no click.
inline void Click(QAbstractButton* button) {
  EXPECT_TRUE(button->isEnabled()) << S(button->objectName()) << " is disabled";
  QTest::mouseClick(button, Qt::LeftButton);
}

// A left click on the tree node showing `text`.
inline void ClickNode(QTreeView& tree, const QString& text) {
  const auto found = tree.model()->match(tree.model()->index(0, 0), Qt::DisplayRole, text, 1,
                                         Qt::MatchExactly | Qt::MatchRecursive);
  ASSERT_FALSE(found.isEmpty()) << "the tree shows no " << S(text);
  tree.scrollTo(found.first());
  QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualRect(found.first()).center());
}

// The memo titles in the tree, group by group.
inline Texts MemoTitles(const QTreeView& tree) {
  Texts titles;
  const QAbstractItemModel* model = tree.model();
  for (int g = 0; g < model->rowCount(); ++g) {
    const QModelIndex group = model->index(g, 0);
    for (int m = 0; m < model->rowCount(group); ++m) {
      titles.push_back(S(model->index(m, 0, group).data().toString()));
    }
  }
  return titles;
}

}  // namespace agendia::testing
