// A stand-in for the message, input and Save As boxes: answers from a script
// and records every box with the exact request it was shown with.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "platform/Dialogs.h"

namespace brindle::platform::testing {

struct DialogCall {
  enum class Kind { Message, Input, SaveAs, Open };
  Kind kind = Kind::Message;
  MessageRequest message;
  InputRequest input;
  SaveAsRequest saveAs;
  OpenRequest open;
  /// What the box returned: the answer's name ("Yes", "OK", ...) or the text.
  std::string reply;
};

std::string answerName(Answer answer);

class ScriptedDialogs : public Dialogs {
 public:
  /// The next message box that asks a question is answered with `answer`.
  ScriptedDialogs& answer(Answer answer);
  /// The next input box returns `text` (empty: as if cancelled).
  ScriptedDialogs& type(std::string text);
  /// The next Save As or Open dialog returns `path` (empty: cancelled).
  ScriptedDialogs& choose(std::string path);

  /// Called with each box as it is shown, before it is answered.
  void setObserver(std::function<void(const DialogCall&)> observer) {
    m_observer = std::move(observer);
  }

  const std::vector<DialogCall>& calls() const { return m_calls; }
  std::vector<MessageRequest> messages() const;
  void clear() {
    m_calls.clear();
    m_unscripted = 0;
  }

  /// Prompts that found no matching step in the script (they got No, Cancel
  /// or the empty text), and script steps never used.
  std::size_t unscriptedPrompts() const { return m_unscripted; }
  std::size_t pendingSteps() const { return m_script.size(); }

 protected:
  Answer showMessage(const MessageRequest& request) override;
  std::string showInput(const InputRequest& request) override;
  std::string showSaveAs(const SaveAsRequest& request) override;
  std::string showOpen(const OpenRequest& request) override;

 private:
  struct Typed {
    std::string text;
  };
  struct Chosen {
    std::string path;
  };
  using Step = std::variant<Answer, Typed, Chosen>;

  template <class T>
  const T* nextStep();
  void record(DialogCall call);
  /// Records `call` with the next scripted text of kind T (its `text`
  /// member), or an empty reply when none is scripted, and returns the reply.
  template <typename T>
  std::string replyWith(DialogCall call, std::string T::*text);

  std::deque<Step> m_script;
  std::vector<DialogCall> m_calls;
  std::size_t m_unscripted = 0;
  std::function<void(const DialogCall&)> m_observer;
};

}  // namespace brindle::platform::testing
