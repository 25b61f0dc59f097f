// Message boxes, input boxes and the Save As dialog shown with the toolkit's
// standard dialogs.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <string>

#include "platform/Dialogs.h"

namespace brindle::platform::qt {

/// The name filter shown in the Save As dialog for a pattern such as "*.txt":
/// "Text files (*.txt)". Several patterns may be separated by ';'. An empty
/// pattern gives "All files (*)".
QString saveAsNameFilter(const std::string& pattern);

/// Modal dialogs of the toolkit. Texts arrive and leave as UTF-8; paths leave
/// as the system's bytes (QFile::encodeName).
class QtDialogs : public Dialogs {
 public:
  /// @param parent  window the boxes are modal to; may be null (application
  ///                modal) and may be replaced later with setParent().
  explicit QtDialogs(QWidget* parent = nullptr);

  /// Makes later boxes modal to `parent` (null: to the whole application).
  void setParent(QWidget* parent) { m_parent = parent; }
  QWidget* parent() const { return m_parent; }

 protected:
  Answer showMessage(const MessageRequest& request) override;
  std::string showInput(const InputRequest& request) override;
  std::string showSaveAs(const SaveAsRequest& request) override;
  std::string showOpen(const OpenRequest& request) override;

 private:
  QPointer<QWidget> m_parent;
};

}  // namespace brindle::platform::qt
