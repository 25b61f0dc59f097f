// Message boxes, input boxes and the Save As dialog, as the program asks for
// them. No toolkit type appears here, so commands can be tested with a
// scripted stand-in.
#pragma once

#include <string>

namespace brindle::platform {

/// The caption every box shows when the caller gives none.
inline constexpr const char* kProgramTitle = "Brindle";

/// SaveDiscardCancel asks about unsaved edits: keep them by saving, throw
/// them away, or go back to them.
enum class Buttons { Ok, OkCancel, YesNo, SaveDiscardCancel };
enum class Icon { None, Critical, Information };
enum class Answer { Ok, Cancel, Yes, No, Save, Discard };
/// Which of the box's buttons has the focus when it opens.
enum class DefaultButton { First, Second };

struct MessageRequest {
  std::string text;
  Buttons buttons = Buttons::Ok;
  Icon icon = Icon::None;
  /// Empty means the program's title.
  std::string title;
  DefaultButton defaultButton = DefaultButton::First;
  /// A longer text shown below the question in a scrolling box (such as
  /// the list of renames a Yes will make); none when empty.
  std::string details;
  /// F1 help reference of the box; informational only.
  std::string helpFile;
  int helpContext = 0;
};

struct InputRequest {
  std::string prompt;
  /// Empty means the program's title.
  std::string title;
  std::string defaultText;
};

struct SaveAsRequest {
  std::string initialDirectory;
  std::string title;
  /// A pattern such as "*.txt".
  std::string filter;
  /// Added to a typed name that has no extension, without the period.
  std::string defaultExtension;
  /// Whether choosing an existing file asks first if it may be replaced;
  /// off for callers that only add to the chosen file.
  bool confirmOverwrite = true;
};

struct OpenRequest {
  std::string initialDirectory;
  /// Empty means the program's title.
  std::string title;
  /// What the list offers, such as "Images (*.jpg *.jpeg *.png)".
  std::string filter;
};

/// Modal boxes. Every call blocks until the user answers. Texts are UTF-8.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  /// Shows a message box and returns the button pressed. A request without
  /// a title is shown with the program's title.
  Answer message(MessageRequest request);
  /// The common case: a box with text, buttons, icon and title.
  Answer message(std::string text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
                 std::string title = {});

  /// Shows an input box; returns the typed text, or the empty text on Cancel.
  std::string input(InputRequest request);

  /// Shows a Save As dialog; returns the chosen path, or the empty text when
  /// cancelled.
  std::string saveAs(const SaveAsRequest& request) { return showSaveAs(request); }

  /// Shows an Open dialog for one existing file; returns the chosen path, or
  /// the empty text when cancelled.
  std::string open(const OpenRequest& request) { return showOpen(request); }

 protected:
  virtual Answer showMessage(const MessageRequest& request) = 0;
  virtual std::string showInput(const InputRequest& request) = 0;
  virtual std::string showSaveAs(const SaveAsRequest& request) = 0;
  virtual std::string showOpen(const OpenRequest& request) = 0;
};

}  // namespace brindle::platform
