#include "ui/WindowPlaces.h"

#include <QByteArray>
#include <QWidget>

namespace brindle::ui {

namespace {

std::string keyOf(const QWidget& window) {
  return "windows/" + window.objectName().toStdString() + "/geometry";
}

}  // namespace

void restorePlace(QWidget& window, platform::Settings& settings) {
  const std::optional<std::string> stored = settings.value(keyOf(window));
  if (!stored) return;
  // The toolkit's own record, which also brings a place off every screen
  // back onto one.
  (void)window.restoreGeometry(QByteArray::fromStdString(*stored));
}

void rememberPlace(const QWidget& window, platform::Settings& settings) {
  settings.setValue(keyOf(window), window.saveGeometry().toStdString());
}

}  // namespace brindle::ui
