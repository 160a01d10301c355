#include "setup/ConsoleView.h"

namespace veltrane {
namespace {

std::string OneLine(std::string S) {
    for (char& C : S)
        if (C == '\n' || C == '\r')
            C = ' ';
    while (!S.empty() && S.back() == ' ')
        S.pop_back();
    return S;
}

const char* TypeName(TMsgDlgType T) {
    switch (T) {
    case mtWarning: return "Warning";
    case mtError: return "Error";
    case mtInformation: return "Information";
    default: return "Question";
    }
}

const char* AnswerName(int R) {
    static const char* Names[] = {"", "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No", "All"};
    return R >= 0 && R <= 8 ? Names[R] : "";
}

} // namespace

void TConsoleView::RunWizard(const std::string&, const std::function<void()>& KickOff) {
    Exists_ = true;
    KickOff();
    Exists_ = false;
}

void TConsoleView::WaitUntil(const std::function<bool()>& Done) {
    while (!Done()) {
        TSetupPage* Page = Info ? Info->CurrentPage : nullptr;
        if (!Page)
            return;
        // A page that keeps coming back refused its default: give up rather than loop.
        if (++Presses_[Page] > 3 || !Info->ButtonEnabled(wbNext)) {
            Report(Caption_.empty() ? std::string("Cancelled: a page could not go on by itself")
                                    : "Cancelled at the page \"" + Caption_ + "\"");
            Page->PageResult = prCancelled;
        } else {
            Info->NextClick();
        }
    }
}

int TConsoleView::MessageBox(const std::string& Text, TMsgDlgType Type, unsigned Buttons, int Unattended) {
    int Answer = Unattended;
    if (Unattended == UnattendedAsk) {
        if (OverWrite == swAlways)
            Answer = mrYes;
        else if (OverWrite == swAsk && In_) {
            std::fprintf(Out_, "%s: %s [y]es/[n]o/[a]ll/a[b]ort? ", TypeName(Type), OneLine(Text).c_str());
            std::fflush(Out_);
            char Line[64] = "";
            Answer = mrNo;
            if (std::fgets(Line, sizeof Line, In_)) {
                switch (Line[0] | 0x20) {
                case 'y': Answer = mrYes; break;
                case 'a': Answer = mrAll; break;
                case 'b': Answer = mrAbort; break;
                default: Answer = mrNo;
                }
            }
            std::fprintf(Out_, "Answer: %s\n", AnswerName(Answer));
            std::fflush(Out_);
            return Answer;
        } else {
            Answer = mrNo;
        }
    } else if (Unattended == UnattendedDefault) {
        if (Buttons == 0 || (Buttons & mbOK))
            Answer = mrOk;
        else if (Buttons & mbYes)
            Answer = mrYes;
        else if (Buttons & mbAbort)
            Answer = mrAbort;
        else
            Answer = mrCancel;
    }
    std::fprintf(Out_, "%s: %s (answer: %s)\n", TypeName(Type), OneLine(Text).c_str(), AnswerName(Answer));
    std::fflush(Out_);
    return Answer;
}

void TConsoleView::Report(const std::string& Line) {
    if (Line.empty())
        return;
    std::fprintf(Out_, "%s\n", OneLine(Line).c_str());
    std::fflush(Out_);
}

void TConsoleView::ShowMultiDisk(const std::string& Caption, const std::string& Text) {
    Report(Caption + " " + Text);
}

} // namespace veltrane
