#include "platform/Messages.h"

#include <cstdio>

namespace platform {

namespace {

MessageService* g_service = nullptr;

std::string& Caption()
{
    static std::string caption = "VELTA";
    return caption;
}

} // namespace

std::vector<int> MessageButtons(unsigned type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    default:
        return {IDOK};
    }
}

int DefaultMessageAnswer(unsigned type)
{
    const std::vector<int> buttons = MessageButtons(type);
    const std::size_t index = (type & MB_DEFMASK) >> 8;
    return index < buttons.size() ? buttons[index] : buttons.front();
}

int EscapeMessageAnswer(unsigned type)
{
    const std::vector<int> buttons = MessageButtons(type);
    for (int b : buttons) {
        if (b == IDCANCEL)
            return IDCANCEL;
    }
    return buttons.size() == 1 ? buttons.front() : 0;
}

MessageService* GetMessageService()
{
    return g_service;
}

void SetMessageService(MessageService* service)
{
    g_service = service;
}

int MessageBox(const std::string& text, const std::string& caption, unsigned type)
{
    if (g_service)
        return g_service->Show(text, caption, type);
    // No one to ask (a tool or a test without a service): leave a trace and take the default.
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    return DefaultMessageAnswer(type);
}

const std::string& GetAppCaption()
{
    return Caption();
}

void SetAppCaption(const std::string& caption)
{
    Caption() = caption;
}

int RecordingMessages::Show(const std::string& text, const std::string& caption, unsigned type)
{
    int answer;
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    } else if (m_defaultAnswer != 0) {
        answer = m_defaultAnswer;
    } else {
        answer = DefaultMessageAnswer(type);
    }
    m_entries.push_back({text, caption, type, answer});
    return answer;
}

std::vector<std::string> RecordingMessages::Texts() const
{
    std::vector<std::string> texts;
    for (const Entry& e : m_entries)
        texts.push_back(e.text);
    return texts;
}

} // namespace platform

int AfxMessageBox(const std::string& text, unsigned type)
{
    return platform::MessageBox(text, platform::GetAppCaption(), type);
}
