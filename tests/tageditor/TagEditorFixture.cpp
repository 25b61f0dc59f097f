#include "tests/tageditor/TagEditorFixture.h"

#include <QAction>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "tageditor/TagField.h"
#include "ui/FileListBox.h"

namespace brindle::tageditor {

frmID3Info& TagEditorFixture::openEditor() {
  if (!window) {
    start();
    commands = &installTagEditorCommands(*window);
  }
  window->menuItem("mnump3")->trigger();
  frmID3Info* opened = commands->tagEditor();
  EXPECT_NE(opened, nullptr);
  return *opened;
}

std::vector<std::string> TagEditorFixture::listed() {
  std::vector<std::string> names;
  for (int i = 0; i < editor().fileList().listCount(); ++i) {
    names.push_back(editor().fileList().entryName(i));
  }
  return names;
}

int TagEditorFixture::indexOf(const std::string& name) {
  const std::vector<std::string> names = listed();
  const auto found = std::find(names.begin(), names.end(), name);
  EXPECT_NE(found, names.end()) << name;
  return static_cast<int>(found - names.begin());
}

void TagEditorFixture::doubleClick(const std::string& name) {
  ui::FileListBox& list = editor().fileList();
  const QModelIndex entry = list.model()->index(indexOf(name), 0);
  list.scrollTo(entry);
  const QPoint at = list.visualRect(entry).center();
  // The first click of the two; the double click event follows.
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
}

void TagEditorFixture::click(const char* name) {
  QPushButton* button = editor().button(name);
  ASSERT_NE(button, nullptr) << name;
  QTest::mouseClick(button, Qt::LeftButton);
}

void TagEditorFixture::typeInto(int index, const QString& text) {
  QTest::keyClicks(editor().txt(index), text);
}

void TagEditorFixture::commitInto(int index, const QString& text) {
  QInputMethodEvent event;
  event.setCommitString(text);
  QApplication::sendEvent(editor().txt(index), &event);
}

void TagEditorFixture::setField(int index, const QString& text) {
  if (auto* lines = qobject_cast<QPlainTextEdit*>(editor().txt(index))) {
    lines->setPlainText(text);
  } else {
    static_cast<TagField*>(editor().txt(index))->setValue(text);
  }
}

std::string TagEditorFixture::field(int index) {
  return editor().txtText(index).toUtf8().toStdString();
}

}  // namespace brindle::tageditor
