#pragma once
// The wizard window (510 x 306: picture, ten-page notebook, three buttons, kick-off timer) and
// the Qt view that the page logic drives.

#include "setup/SetupInfo.h"
#include "setup/ui/OrvelProgressBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTextEdit>
#include <QTimer>
#include <functional>

namespace veltrane {

class TSetupPagesForm : public QDialog {
    Q_OBJECT
  public:
    TSetupPagesForm(TSetupInfo& Info, const QString& Picture, QWidget* Parent = nullptr);

    QLabel* imSetup;
    QStackedWidget* nbPage;
    QPushButton *btnPrev, *btnNext, *btnCancel;
    QTimer* timKickOff;
    int NestingCounter = 0;
    // Notebook page 0
    QTextEdit* meCDLIntent;
    QGroupBox* gbCDLDestination;
    QLabel* laCDLDirectory;
    QPushButton* btnCDLBrowse;
    // 1
    QTextEdit* meFCActions;
    QLabel *laFCFileInfo, *laFCFilesLeft, *laFC1, *laFCSource, *laFC2, *laFCTarget, *laFCFile, *laFCTotal;
    TOrvelProgressBar *pbFCFile, *pbFCTotal;
    // 2
    QTextEdit* meCWGActions;
    QComboBox* cbCWGGroups;
    // 3: one row per option, made when the page is shown
    struct TChoiceRowControls {
        QCheckBox* Title;
        QTextEdit* Description;
    };
    std::vector<TChoiceRowControls> ChoiceRows;
    std::function<void(std::size_t)> ChoiceClick;
    // 4
    QTextEdit* meBDEIntent;
    QPushButton* btnBDEReinstall;
    // 5
    QTextEdit* meUNIIntent;
    // 6
    QTextEdit* meMSGIntent;
    // 7
    QLabel* lblMDIIntent;
    // 8
    QTextEdit* memSDIntent;
    QLabel* lblSDPathLabel;
    QLineEdit* edtSDPath;
    QListWidget* lsbSDDirs;
    QComboBox* dcbSDDrive;
    // 9
    QGroupBox* rdgLSLanguage;
    std::vector<QRadioButton*> LanguageButtons;
    QString BrowseCurrent; // the directory lsbSDDirs lists
    int BrowsePreserve = 0;
    QString BrowseTarget;
    std::function<void()> KickOff;

    // Lists the subdirectories of Dir (or its nearest existing ancestor).
    void OpenBrowseList(const QString& Dir);
    void ClearChoiceRows();

  protected:
    void reject() override; // Escape is the Cancel button
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;

  private:
    TSetupInfo& Info_;
    bool KickedOff_ = false;
};

class TQtSetupView : public ISetupView {
  public:
    TSetupInfo* Info = nullptr;
    QWidget* Owner = nullptr;
    TSetupPagesForm* Form = nullptr;

    bool WizardExists() const override { return Form != nullptr; }
    void RunWizard(const std::string& Picture, const std::function<void()>& KickOff) override;
    void CloseWizard() override;
    void WaitUntil(const std::function<bool()>& Done) override;
    void ProcessMessages() override;
    void SetCaption(const std::string& Caption) override;
    void SetButton(TWizardButton Button, bool Visible, bool Enabled, const std::string& Caption) override;
    void FocusButton(TWizardButton Button) override;
    void ShowNotebookPage(int Index) override;
    int MessageBox(const std::string& Text, TMsgDlgType Type, unsigned Buttons, int Unattended) override;
    void Report(const std::string&) override {}
    void ShowMessageText(const std::vector<std::string>& Lines, TAlignment Alignment, const TFontSpec& Font) override;
    void ShowDirChoice(const TDirChoiceTexts& Texts) override;
    void SetDirLabel(const std::string& Text) override;
    int DirLabelWidth() override;
    int TextWidth(const std::string& Text) override;
    int Browse(const TBrowseRequest& Request, std::string& Path) override;
    void ShowCopyTexts(const TCopyTexts& Texts) override;
    void SetCopyLabels(const std::string& Source, const std::string& Target) override;
    int CopyLabelWidth() override;
    void SetFilesLeft(std::size_t Count) override;
    void SetFileBar(std::int64_t Progress, std::int64_t Max) override;
    void SetTotalBar(std::int64_t Progress, std::int64_t Max) override;
    void ShowMultiDisk(const std::string& Caption, const std::string& Text) override;
    void ShowGroups(const std::string& Intent, const std::vector<std::string>& Groups,
                    const std::string& Shown) override;
    std::string GroupName(const std::string& Shown) override;
    void ShowUnInstallText(const std::string& Intent) override;
    void ShowChoices(const std::vector<TChoiceRow>& Rows, const std::function<void(std::size_t)>& OnClick) override;
    void SetChoiceSelected(std::size_t Row, bool Selected) override;
    void ClearChoices() override;
    void ShowLanguages(const std::vector<std::string>& Names, int Checked) override;
    int CheckedLanguage(int Shown) override;
    void ShowBDEText(const std::string& Intent, const std::string& Reinstall, bool ReinstallEnabled) override;

  private:
    QPushButton* ButtonOf(TWizardButton B) const;
    TSetupPagesForm* MultiDiskForm_ = nullptr;
};

// Texts are bytes; show them as UTF-8 (Latin-1 letters for bytes that are not).
QString ToQt(const std::string& S);

} // namespace veltrane
