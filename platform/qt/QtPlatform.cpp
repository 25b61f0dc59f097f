// Builds the desktop program's platform services.
#include "platform/qt/QtPlatform.h"

namespace brindle::platform::qt {

QtPlatform::QtPlatform(QWidget* dialogParent) : dialogs(dialogParent), printer(dialogParent) {}

}  // namespace brindle::platform::qt
