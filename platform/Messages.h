#pragma once
// Message boxes. The model asks with CP932 text and a type word built from the constants
// below (buttons | icon | default button) and gets the answer as one of the ID codes.
// The installed MessageService shows them (Qt) or records them (tests).

#include <deque>
#include <string>
#include <vector>

// Buttons (low four bits of the type word).
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_RETRYCANCEL = 0x5;
constexpr unsigned MB_TYPEMASK = 0xF;
// Icons.
constexpr unsigned MB_ICONHAND = 0x10;
constexpr unsigned MB_ICONSTOP = MB_ICONHAND;
constexpr unsigned MB_ICONERROR = MB_ICONHAND;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr unsigned MB_ICONASTERISK = 0x40;
constexpr unsigned MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr unsigned MB_ICONMASK = 0xF0;
// Default button.
constexpr unsigned MB_DEFBUTTON1 = 0x000;
constexpr unsigned MB_DEFBUTTON2 = 0x100;
constexpr unsigned MB_DEFBUTTON3 = 0x200;
constexpr unsigned MB_DEFMASK = 0xF00;

// Answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

namespace platform {

class MessageService
{
public:
    virtual ~MessageService() = default;
    // Shows the box and returns the ID of the button chosen.
    virtual int Show(const std::string& text, const std::string& caption, unsigned type) = 0;
};

// The buttons of a type word, in their order on the box (unknown button codes give OK).
std::vector<int> MessageButtons(unsigned type);
// The answer of the default button (MB_DEFBUTTONn, the first button when n is past the end).
int DefaultMessageAnswer(unsigned type);
// The answer that closing the box gives: Cancel when there is one, OK for a lone OK,
// otherwise 0 (the box cannot be closed without choosing).
int EscapeMessageAnswer(unsigned type);

// The installed service, or null.
MessageService* GetMessageService();
// Installs a service (not owned; null removes it).
void SetMessageService(MessageService* service);

// Shows a message box through the installed service. With none installed, the text goes to
// standard error and the default button is the answer, as if Enter had been pressed.
int MessageBox(const std::string& text, const std::string& caption, unsigned type);

// The program's caption, used by AfxMessageBox (CP932; "VELTA" unless set).
const std::string& GetAppCaption();
void SetAppCaption(const std::string& caption);

// Records every box and answers from a queue of preset answers; when the queue is empty the
// fixed default answer is given if one is set, else the box's default button.
class RecordingMessages : public MessageService
{
public:
    struct Entry
    {
        std::string text;
        std::string caption;
        unsigned type = 0;
        int answer = 0;
    };

    int Show(const std::string& text, const std::string& caption, unsigned type) override;

    void QueueAnswer(int answer) { m_answers.push_back(answer); }
    void SetDefaultAnswer(int answer) { m_defaultAnswer = answer; } // 0: the box's default button
    std::size_t PendingAnswers() const { return m_answers.size(); }

    const std::vector<Entry>& Entries() const { return m_entries; }
    std::size_t Count() const { return m_entries.size(); }
    const Entry& Last() const { return m_entries.back(); } // only when Count() > 0
    std::vector<std::string> Texts() const;
    void Clear() { m_entries.clear(); }

private:
    std::vector<Entry> m_entries;
    std::deque<int> m_answers;
    int m_defaultAnswer = 0;
};

} // namespace platform

// A message box with the program's caption.
int AfxMessageBox(const std::string& text, unsigned type = MB_OK);
