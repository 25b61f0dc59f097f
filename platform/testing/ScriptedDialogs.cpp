#include "platform/testing/ScriptedDialogs.h"

namespace brindle::platform::testing {

std::string answerName(Answer answer) {
  switch (answer) {
    case Answer::Ok:
      return "OK";
    case Answer::Cancel:
      return "Cancel";
    case Answer::Yes:
      return "Yes";
    case Answer::No:
      return "No";
    case Answer::Save:
      return "Save";
    case Answer::Discard:
      return "Discard";
  }
  return "?";
}

ScriptedDialogs& ScriptedDialogs::answer(Answer answer) {
  m_script.emplace_back(answer);
  return *this;
}

ScriptedDialogs& ScriptedDialogs::type(std::string text) {
  m_script.emplace_back(Typed{std::move(text)});
  return *this;
}

ScriptedDialogs& ScriptedDialogs::choose(std::string path) {
  m_script.emplace_back(Chosen{std::move(path)});
  return *this;
}

std::vector<MessageRequest> ScriptedDialogs::messages() const {
  std::vector<MessageRequest> result;
  for (const DialogCall& call : m_calls)
    if (call.kind == DialogCall::Kind::Message) result.push_back(call.message);
  return result;
}

template <class T>
const T* ScriptedDialogs::nextStep() {
  if (m_script.empty()) return nullptr;
  return std::get_if<T>(&m_script.front());
}

void ScriptedDialogs::record(DialogCall call) {
  if (m_observer) m_observer(call);
  m_calls.push_back(std::move(call));
}

Answer ScriptedDialogs::showMessage(const MessageRequest& request) {
  DialogCall call;
  call.kind = DialogCall::Kind::Message;
  call.message = request;
  Answer reply = Answer::Ok;
  if (request.buttons != Buttons::Ok) {
    // A box that only informs needs no script step; a question does.
    if (const Answer* scripted = nextStep<Answer>()) {
      reply = *scripted;
      m_script.pop_front();
    } else {
      reply = request.buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
      ++m_unscripted;
    }
  }
  call.reply = answerName(reply);
  record(std::move(call));
  return reply;
}

template <typename T>
std::string ScriptedDialogs::replyWith(DialogCall call, std::string T::*text) {
  if (const T* scripted = nextStep<T>()) {
    call.reply = scripted->*text;
    m_script.pop_front();
  } else {
    ++m_unscripted;
  }
  std::string reply = call.reply;
  record(std::move(call));
  return reply;
}

std::string ScriptedDialogs::showInput(const InputRequest& request) {
  DialogCall call;
  call.kind = DialogCall::Kind::Input;
  call.input = request;
  return replyWith(std::move(call), &Typed::text);
}

std::string ScriptedDialogs::showSaveAs(const SaveAsRequest& request) {
  DialogCall call;
  call.kind = DialogCall::Kind::SaveAs;
  call.saveAs = request;
  return replyWith(std::move(call), &Chosen::path);
}

std::string ScriptedDialogs::showOpen(const OpenRequest& request) {
  DialogCall call;
  call.kind = DialogCall::Kind::Open;
  call.open = request;
  return replyWith(std::move(call), &Chosen::path);
}

}  // namespace brindle::platform::testing
