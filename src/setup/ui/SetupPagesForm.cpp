#include "setup/ui/SetupPagesForm.h"

#include "setup/SetupPages.h"
#include "setup/SetupPaths.h"
#include "setup/ui/SetupMessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QStorageInfo>
#include <QStringDecoder>
#include <QTextBlockFormat>
#include <QTextCursor>

namespace veltrane {
namespace {

QPixmap DefaultPicture(QSize Size) {
    QPixmap P(Size);
    QPainter G(&P);
    QLinearGradient L(0, 0, 0, Size.height());
    L.setColorAt(0, QColor(0, 0, 160));
    L.setColorAt(1, QColor(0, 0, 30));
    G.fillRect(P.rect(), L);
    QFont F("Arial", 20, QFont::Bold, true);
    G.setFont(F);
    G.setPen(Qt::white);
    G.translate(Size.width() / 2 + 10, Size.height() - 12);
    G.rotate(-90);
    G.drawText(0, 0, "Veltrane");
    return P;
}

QTextEdit* Memo(QWidget* Parent, const char* Name, QRect R) {
    auto* M = new QTextEdit(Parent);
    M->setObjectName(Name);
    M->setReadOnly(true);
    M->setFrameStyle(QFrame::NoFrame);
    M->setGeometry(R);
    M->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    M->setStyleSheet("QTextEdit { background: transparent; }");
    M->setFocusPolicy(Qt::NoFocus); // a read-only text is no Tab stop unless it scrolls
    return M;
}

QLabel* Label(QWidget* Parent, const char* Name, QRect R) {
    auto* L = new QLabel(Parent);
    L->setObjectName(Name);
    L->setGeometry(R);
    return L;
}

// A text box that does not hold its lines gets a scroll bar and a border.
void FitMemo(QTextEdit* M, int LineCount) {
    const bool Over = LineCount * QFontMetrics(M->font()).height() > M->height();
    M->setVerticalScrollBarPolicy(Over ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    M->setFrameStyle(Over ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
    M->setFocusPolicy(Over ? Qt::StrongFocus : Qt::NoFocus);
}

} // namespace

QString ToQt(const std::string& S) {
    QStringDecoder Decoder(QStringDecoder::Utf8);
    QString Text = Decoder.decode(QByteArray::fromStdString(S));
    return Decoder.hasError() ? QString::fromLatin1(S.data(), static_cast<qsizetype>(S.size())) : Text;
}

TSetupPagesForm::TSetupPagesForm(TSetupInfo& Info, const QString& Picture, QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), Info_(Info) {
    setObjectName("SetupPagesForm");
    setFixedSize(510, 306);
    QFont F("Arial");
    F.setPixelSize(12);
    setFont(F);

    auto* Panel = new QFrame(this);
    Panel->setObjectName("pnBitmap");
    Panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel->setGeometry(2, 2, 118, 259);
    imSetup = new QLabel(Panel);
    imSetup->setObjectName("imSetup");
    imSetup->setGeometry(1, 1, 116, 257);
    imSetup->setScaledContents(true);
    QPixmap Pic(Picture);
    imSetup->setPixmap(Pic.isNull() ? DefaultPicture(imSetup->size()) : Pic);

    nbPage = new QStackedWidget(this);
    nbPage->setObjectName("nbPage");
    nbPage->setGeometry(124, 4, 375, 259);
    QWidget* Pages[10];
    static const char* Names[] = {"DirChoice", "FileCopy", "Groups", "Choices", "BDEInstall",
                                  "UnInstall", "Message", "MultiDisk", "SelectDirectory", "SelectLanguage"};
    for (int I = 0; I < 10; ++I) {
        Pages[I] = new QWidget;
        Pages[I]->setObjectName(Names[I]);
        nbPage->addWidget(Pages[I]);
    }

    // 0: directory choice
    meCDLIntent = Memo(Pages[0], "meCDLIntent", {4, 4, 367, 170});
    gbCDLDestination = new QGroupBox(Pages[0]);
    gbCDLDestination->setObjectName("gbCDLDestination");
    gbCDLDestination->setGeometry(4, 190, 367, 60);
    laCDLDirectory = Label(gbCDLDestination, "laCDLDirectory", {10, 24, 260, 20});
    btnCDLBrowse = new QPushButton(gbCDLDestination);
    btnCDLBrowse->setObjectName("btnCDLBrowse");
    btnCDLBrowse->setGeometry(276, 22, 82, 25);
    connect(btnCDLBrowse, &QPushButton::clicked, this, [this] { Info_.PageButtonClick(0); });

    // 1: file copy
    meFCActions = Memo(Pages[1], "meFCActions", {4, 4, 367, 90});
    laFCFileInfo = Label(Pages[1], "laFCFileInfo", {20, 100, 140, 18});
    laFCFilesLeft = Label(Pages[1], "laFCFilesLeft", {160, 100, 100, 18});
    laFC1 = Label(Pages[1], "laFC1", {20, 124, 60, 18});
    laFCSource = Label(Pages[1], "laFCSource", {80, 124, 290, 18});
    laFC2 = Label(Pages[1], "laFC2", {20, 146, 60, 18});
    laFCTarget = Label(Pages[1], "laFCTarget", {80, 146, 290, 18});
    laFCFile = Label(Pages[1], "laFCFile", {20, 180, 50, 18});
    laFCTotal = Label(Pages[1], "laFCTotal", {20, 214, 50, 18});
    pbFCFile = new TOrvelProgressBar(Pages[1]);
    pbFCFile->setObjectName("pbFCFile");
    pbFCTotal = new TOrvelProgressBar(Pages[1]);
    pbFCTotal->setObjectName("pbFCTotal");

    // 2: program groups
    meCWGActions = Memo(Pages[2], "meCWGActions", {4, 4, 351, 201});
    cbCWGGroups = new QComboBox(Pages[2]);
    cbCWGGroups->setObjectName("cbCWGGroups");
    cbCWGGroups->setEditable(true);
    cbCWGGroups->setInsertPolicy(QComboBox::NoInsert);
    cbCWGGroups->setGeometry(4, 212, 349, 24);

    // 3: choices (rows made by ShowChoices)
    // 4: database engine
    meBDEIntent = Memo(Pages[4], "meBDEIntent", {4, 4, 367, 210});
    btnBDEReinstall = new QPushButton(Pages[4]);
    btnBDEReinstall->setObjectName("btnBDEReinstall");
    btnBDEReinstall->setGeometry(4, 222, 140, 25);
    btnBDEReinstall->setAutoDefault(false);
    connect(btnBDEReinstall, &QPushButton::clicked, this, [this] { Info_.PageButtonClick(1); });

    // 5: uninstall
    meUNIIntent = Memo(Pages[5], "meUNIIntent", {4, 4, 367, 250});

    // 6: message
    meMSGIntent = Memo(Pages[6], "meMSGIntent", {0, 0, 375, 259});

    // 7: the wait page of the restarting stages
    lblMDIIntent = Label(Pages[7], "lblMDIIntent", {10, 40, 355, 120});
    lblMDIIntent->setWordWrap(true);
    lblMDIIntent->setAlignment(Qt::AlignCenter);

    // 8: browse
    memSDIntent = Memo(Pages[8], "memSDIntent", {4, 4, 367, 70});
    lblSDPathLabel = Label(Pages[8], "lblSDPathLabel", {4, 80, 40, 20});
    edtSDPath = new QLineEdit(Pages[8]);
    edtSDPath->setObjectName("edtSDPath");
    edtSDPath->setGeometry(48, 78, 323, 22);
    lsbSDDirs = new QListWidget(Pages[8]);
    lsbSDDirs->setObjectName("lsbSDDirs");
    lsbSDDirs->setGeometry(4, 106, 367, 118);
    dcbSDDrive = new QComboBox(Pages[8]);
    dcbSDDrive->setObjectName("dcbSDDrive");
    dcbSDDrive->setGeometry(4, 230, 367, 24);
    for (const QStorageInfo& V : QStorageInfo::mountedVolumes())
        if (V.isValid() && V.isReady() && !V.rootPath().startsWith("/proc") && !V.rootPath().startsWith("/sys"))
            dcbSDDrive->addItem(V.rootPath() + (V.name().isEmpty() ? "" : "  [" + V.name() + "]"), V.rootPath());
    connect(dcbSDDrive, &QComboBox::activated, this,
            [this](int I) { OpenBrowseList(dcbSDDrive->itemData(I).toString()); });
    connect(lsbSDDirs, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* Item) {
        OpenBrowseList(Item->data(Qt::UserRole).toString());
    });
    connect(lsbSDDirs, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* Item) {
        if (!Item)
            return;
        edtSDPath->setText(ToQt(BrowsePath(Item->data(Qt::UserRole).toString().toStdString(),
                                           BrowseTarget.toStdString(), BrowsePreserve)));
    });

    // 9: language
    rdgLSLanguage = new QGroupBox(Pages[9]);
    rdgLSLanguage->setObjectName("rdgLSLanguage");
    rdgLSLanguage->setGeometry(4, 4, 367, 250);

    auto* Line = new QFrame(this);
    Line->setObjectName("bvlHorizontal");
    Line->setFrameStyle(QFrame::HLine | QFrame::Raised);
    Line->setGeometry(2, 264, 499, 5);
    btnPrev = new QPushButton(style()->standardIcon(QStyle::SP_ArrowBack), "", this);
    btnPrev->setObjectName("btnPrev");
    btnPrev->setGeometry(174, 272, 97, 23);
    btnNext = new QPushButton(style()->standardIcon(QStyle::SP_ArrowForward), "", this);
    btnNext->setObjectName("btnNext");
    btnNext->setLayoutDirection(Qt::RightToLeft); // glyph on the right
    btnNext->setGeometry(276, 272, 95, 23);
    btnCancel = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), "", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(402, 272, 99, 23);
    // Enter presses Next (or Finish) wherever the focus is, never Cancel or Previous; Space
    // presses the focused button.
    for (QPushButton* B : {btnPrev, btnCancel})
        B->setAutoDefault(false);
    btnNext->setDefault(true);
    connect(btnNext, &QPushButton::clicked, this, [this] { Info_.NextClick(); });
    connect(btnPrev, &QPushButton::clicked, this, [this] { Info_.PrevClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { Info_.CancelClick(); });

    timKickOff = new QTimer(this);
    timKickOff->setObjectName("timKickOff");
    timKickOff->setInterval(10);
    timKickOff->setSingleShot(true);
    connect(timKickOff, &QTimer::timeout, this, [this] {
        if (KickedOff_)
            return;
        KickedOff_ = true;
        timKickOff->stop();
        if (KickOff)
            KickOff();
    });
}

void TSetupPagesForm::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    if (!KickedOff_)
        timKickOff->start();
}

bool TSetupPagesForm::eventFilter(QObject* Watched, QEvent* Event) {
    // A click on an option's description toggles the option like one on its title.
    if (Event->type() == QEvent::MouseButtonRelease)
        for (std::size_t I = 0; I < ChoiceRows.size(); ++I)
            if (Watched == ChoiceRows[I].Description->viewport() && ChoiceClick) {
                ChoiceClick(I);
                return true;
            }
    return QDialog::eventFilter(Watched, Event);
}

void TSetupPagesForm::ClearChoiceRows() {
    for (const TChoiceRowControls& R : ChoiceRows) {
        delete R.Title;
        delete R.Description;
    }
    ChoiceRows.clear();
    ChoiceClick = nullptr;
}

void TSetupPagesForm::reject() {
    if (btnCancel->isEnabled())
        btnCancel->click();
}

void TSetupPagesForm::OpenBrowseList(const QString& Dir) {
    QString Path = QString::fromStdString(NearestExistingDir(Dir.toStdString()));
    BrowseCurrent = Path;
    lsbSDDirs->clear();
    QDir D(Path);
    if (!D.isRoot()) {
        auto* Up = new QListWidgetItem("..", lsbSDDirs);
        QDir Parent(Path);
        Parent.cdUp();
        Up->setData(Qt::UserRole, Parent.absolutePath());
    }
    auto* Here = new QListWidgetItem(Path, lsbSDDirs);
    Here->setData(Qt::UserRole, Path);
    for (const QString& Name : D.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name)) {
        auto* Item = new QListWidgetItem("    " + Name, lsbSDDirs);
        Item->setData(Qt::UserRole, D.absoluteFilePath(Name));
    }
    for (int I = 0; I < dcbSDDrive->count(); ++I)
        if (Path.startsWith(dcbSDDrive->itemData(I).toString()))
            dcbSDDrive->setCurrentIndex(I); // the longest matching root comes last
}

// ---- the view ----

void TQtSetupView::RunWizard(const std::string& Picture, const std::function<void()>& KickOff) {
    TSetupPagesForm Dialog(*Info, ToQt(Picture), Owner);
    Form = &Dialog;
    Dialog.KickOff = KickOff;
    if (QScreen* S = QApplication::primaryScreen())
        Dialog.move(S->availableGeometry().center() - QPoint(255, 153));
    Dialog.exec();
    Form = nullptr;
}

void TQtSetupView::CloseWizard() {
    if (Form)
        Form->done(0);
}

void TQtSetupView::WaitUntil(const std::function<bool()>& Done) {
    while (!Done())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
}

void TQtSetupView::ProcessMessages() { QApplication::processEvents(); }

void TQtSetupView::SetCaption(const std::string& Caption) {
    if (Form)
        Form->setWindowTitle(ToQt(Caption));
}

QPushButton* TQtSetupView::ButtonOf(TWizardButton B) const {
    if (!Form)
        return nullptr;
    return B == wbPrev ? Form->btnPrev : B == wbNext ? Form->btnNext : Form->btnCancel;
}

void TQtSetupView::SetButton(TWizardButton Button, bool Visible, bool Enabled, const std::string& Caption) {
    if (QPushButton* B = ButtonOf(Button)) {
        B->setVisible(Visible);
        B->setEnabled(Enabled);
        B->setText(ToQt(Caption));
    }
}

void TQtSetupView::FocusButton(TWizardButton Button) {
    if (QPushButton* B = ButtonOf(Button))
        B->setFocus();
}

void TQtSetupView::ShowNotebookPage(int Index) {
    if (Form)
        Form->nbPage->setCurrentIndex(Index);
}

int TQtSetupView::MessageBox(const std::string& Text, TMsgDlgType Type, unsigned Buttons, int) {
    return SetupMessageBox(*Info, ToQt(Text), Type, Buttons, Form ? static_cast<QWidget*>(Form) : Owner);
}

void TQtSetupView::ShowMessageText(const std::vector<std::string>& Lines, TAlignment Alignment, const TFontSpec& Font) {
    if (!Form)
        return;
    QTextEdit* M = Form->meMSGIntent;
    QFont F(ToQt(Font.Family));
    F.setPixelSize(Font.PixelSize);
    F.setBold(Font.Bold);
    F.setItalic(Font.Italic);
    M->setFont(F);
    QPalette P = M->palette();
    P.setColor(QPalette::Text, Font.Color == 0xFF000000 ? Form->palette().color(QPalette::WindowText)
                                                        : QColor::fromRgb(Font.Color));
    M->setPalette(P);
    QStringList Text;
    for (const std::string& L : Lines)
        Text << ToQt(L);
    M->setPlainText(Text.join('\n'));
    const Qt::Alignment A = Alignment == taCenter ? Qt::AlignHCenter : Alignment == taRightJustify ? Qt::AlignRight : Qt::AlignLeft;
    QTextCursor Cursor(M->document());
    Cursor.select(QTextCursor::Document);
    QTextBlockFormat Format;
    Format.setAlignment(A);
    Cursor.mergeBlockFormat(Format);
    FitMemo(M, static_cast<int>(Lines.size()));
}

void TQtSetupView::ShowDirChoice(const TDirChoiceTexts& T) {
    if (!Form)
        return;
    Form->meCDLIntent->setPlainText(ToQt(T.Intent));
    FitMemo(Form->meCDLIntent, static_cast<int>(Form->meCDLIntent->document()->lineCount()));
    Form->btnCDLBrowse->setText(ToQt(T.Browse));
    Form->btnCDLBrowse->setEnabled(T.BrowseEnabled);
    Form->gbCDLDestination->setTitle(ToQt(T.Group));
    Form->laCDLDirectory->setText(ToQt(T.Directory));
}

void TQtSetupView::SetDirLabel(const std::string& Text) {
    if (Form)
        Form->laCDLDirectory->setText(ToQt(Text));
}

int TQtSetupView::DirLabelWidth() { return Form ? Form->laCDLDirectory->width() : 260; }

int TQtSetupView::TextWidth(const std::string& Text) {
    return QFontMetrics(Form ? Form->font() : QApplication::font()).horizontalAdvance(ToQt(Text));
}

int TQtSetupView::Browse(const TBrowseRequest& R, std::string& Path) {
    if (!Form || !Info->CurrentPage)
        return prPrevious;
    Form->setWindowTitle(ToQt(R.Caption));
    Form->lblSDPathLabel->setText(ToQt(R.PathLabel));
    Form->memSDIntent->setPlainText(ToQt(R.Intent));
    Form->BrowseTarget = ToQt(R.Target);
    Form->BrowsePreserve = R.PreserveTrailing;
    Form->OpenBrowseList(ToQt(R.Target));
    Form->edtSDPath->setText(ToQt(R.Target));
    TSetupPage* Page = Info->CurrentPage;
    Page->PageResult = prWaiting;
    WaitUntil([Page] { return Page->PageResult != prWaiting; });
    const int Result = Page->PageResult;
    Page->PageResult = prWaiting;
    Path = Form->edtSDPath->text().toStdString();
    return Result;
}

void TQtSetupView::ShowCopyTexts(const TCopyTexts& T) {
    if (!Form)
        return;
    Form->meFCActions->setPlainText(ToQt(T.Actions));
    Form->laFCFileInfo->setText(ToQt(T.FileInfo));
    Form->laFC1->setText(ToQt(T.Copying));
    Form->laFC2->setText(ToQt(T.To));
    Form->laFCFile->setText(ToQt(T.File));
    Form->laFCTotal->setText(ToQt(T.Total));
    const QFontMetrics M(Form->font());
    const int Left = 20 + std::max(M.horizontalAdvance(Form->laFCFile->text()), M.horizontalAdvance(Form->laFCTotal->text())) + 8;
    const int Height = M.height() + 4;
    Form->pbFCFile->setGeometry(Left, Form->laFCFile->y() - 2, 375 - Left - 10, Height);
    Form->pbFCTotal->setGeometry(Left, Form->laFCTotal->y() - 2, 375 - Left - 10, Height);
    Form->pbFCFile->SetMaxValue(0);
    Form->pbFCTotal->SetMaxValue(0);
}

void TQtSetupView::SetCopyLabels(const std::string& Source, const std::string& Target) {
    if (!Form)
        return;
    Form->laFCSource->setText(ToQt(Source));
    Form->laFCTarget->setText(ToQt(Target));
}

int TQtSetupView::CopyLabelWidth() { return Form ? Form->laFCSource->width() : 290; }

void TQtSetupView::SetFilesLeft(std::size_t Count) {
    if (Form)
        Form->laFCFilesLeft->setText(QString::number(static_cast<qulonglong>(Count)));
}

void TQtSetupView::SetFileBar(std::int64_t Progress, std::int64_t Max) {
    if (!Form)
        return;
    Form->pbFCFile->SetMaxValue(Max);
    Form->pbFCFile->SetProgress(Progress);
}

void TQtSetupView::SetTotalBar(std::int64_t Progress, std::int64_t Max) {
    if (!Form)
        return;
    Form->pbFCTotal->SetMaxValue(Max);
    Form->pbFCTotal->SetProgress(Progress);
}

void TQtSetupView::ShowMultiDisk(const std::string& Caption, const std::string& Text) {
    // The restarting stages end at once; their short wait page is a window of its own.
    if (!MultiDiskForm_) {
        MultiDiskForm_ = new TSetupPagesForm(*Info, ToQt(Info->Picture), Owner);
        MultiDiskForm_->setAttribute(Qt::WA_DeleteOnClose);
    }
    MultiDiskForm_->setWindowTitle(ToQt(Caption));
    MultiDiskForm_->lblMDIIntent->setText(ToQt(Text));
    MultiDiskForm_->nbPage->setCurrentIndex(npMultiDisk);
    for (QPushButton* B : {MultiDiskForm_->btnPrev, MultiDiskForm_->btnNext, MultiDiskForm_->btnCancel})
        B->setEnabled(false);
    MultiDiskForm_->show();
    QApplication::processEvents();
}

} // namespace veltrane

namespace veltrane {

void TQtSetupView::ShowGroups(const std::string& Intent, const std::vector<std::string>& Groups,
                              const std::string& Shown) {
    if (!Form)
        return;
    Form->meCWGActions->setPlainText(ToQt(Intent));
    QStringList Names;
    for (const std::string& G : Groups)
        Names << ToQt(G);
    Names.sort(Qt::CaseInsensitive); // a sorted combo
    Form->cbCWGGroups->clear();
    Form->cbCWGGroups->addItems(Names);
    Form->cbCWGGroups->setCurrentText(ToQt(Shown));
}

std::string TQtSetupView::GroupName(const std::string& Shown) {
    if (!Form)
        return Shown;
    const QString Text = Form->cbCWGGroups->currentText();
    // An unchanged name keeps its own bytes, even when they are not UTF-8.
    return Text == ToQt(Shown) ? Shown : Text.toStdString();
}

void TQtSetupView::ShowUnInstallText(const std::string& Intent) {
    if (Form)
        Form->meUNIIntent->setPlainText(ToQt(Intent));
}

void TQtSetupView::ShowChoices(const std::vector<TChoiceRow>& Rows, const std::function<void(std::size_t)>& OnClick) {
    if (!Form)
        return;
    Form->ClearChoiceRows();
    if (Rows.empty())
        return;
    QWidget* Page = Form->nbPage->widget(npChoices);
    // The notebook's size: a page not shown yet has no geometry of its own.
    const QSize Area = Form->nbPage->size();
    const int RowHeight = Area.height() / static_cast<int>(Rows.size());
    QFont Bold = Form->font();
    Bold.setBold(true);
    const int TitleHeight = QFontMetrics(Bold).height() + 4;
    for (std::size_t I = 0; I < Rows.size(); ++I) {
        const int Top = static_cast<int>(I) * RowHeight;
        const int H = Rows[I].Title.empty() ? 0 : TitleHeight;
        // The title is a check box: it shows whether the option is chosen, and Space toggles it.
        auto* Title = new QCheckBox(ToQt(Rows[I].Title), Page);
        Title->setObjectName(QString("cbChoice%1").arg(I + 1));
        Title->setFont(Bold);
        Title->setGeometry(20, Top, Area.width() - 20, H);
        Title->setVisible(H > 0);
        Title->setChecked(Rows[I].Selected);
        Title->setCursor(Qt::PointingHandCursor);
        QObject::connect(Title, &QCheckBox::clicked, Form, [this, I](bool) {
            if (Form && Form->ChoiceClick)
                Form->ChoiceClick(I);
        });
        auto* Description = Memo(Page, "meChoice", {20, Top + H, Area.width() - 20, RowHeight - H + 2});
        Description->setObjectName(QString("meChoice%1").arg(I + 1));
        Description->setPlainText(ToQt(Rows[I].Description));
        Description->viewport()->setCursor(Qt::PointingHandCursor);
        Description->viewport()->installEventFilter(Form);
        Title->show();
        Description->show();
        Form->ChoiceRows.push_back({Title, Description});
    }
    Form->ChoiceClick = OnClick;
}

void TQtSetupView::SetChoiceSelected(std::size_t Row, bool Selected) {
    if (Form && Row < Form->ChoiceRows.size())
        Form->ChoiceRows[Row].Title->setChecked(Selected);
}

void TQtSetupView::ClearChoices() {
    if (Form)
        Form->ClearChoiceRows();
}

void TQtSetupView::ShowLanguages(const std::vector<std::string>& Names, int Checked) {
    if (!Form)
        return;
    for (QRadioButton* B : Form->LanguageButtons)
        delete B;
    Form->LanguageButtons.clear();
    const int Step = QFontMetrics(Form->font()).height() + 8;
    for (std::size_t I = 0; I < Names.size(); ++I) {
        auto* B = new QRadioButton(ToQt(Names[I]), Form->rdgLSLanguage);
        B->setObjectName(QString("rbLanguage%1").arg(I + 1));
        B->setGeometry(12, 20 + static_cast<int>(I) * Step, 340, Step - 2);
        B->setChecked(static_cast<int>(I) == Checked);
        B->show();
        Form->LanguageButtons.push_back(B);
    }
}

int TQtSetupView::CheckedLanguage(int Shown) {
    if (!Form)
        return Shown;
    for (std::size_t I = 0; I < Form->LanguageButtons.size(); ++I)
        if (Form->LanguageButtons[I]->isChecked())
            return static_cast<int>(I);
    return Shown;
}

void TQtSetupView::ShowBDEText(const std::string& Intent, const std::string& Reinstall, bool ReinstallEnabled) {
    if (!Form)
        return;
    Form->meBDEIntent->setPlainText(ToQt(Intent));
    FitMemo(Form->meBDEIntent, static_cast<int>(Form->meBDEIntent->document()->lineCount()));
    Form->btnBDEReinstall->setText(ToQt(Reinstall));
    Form->btnBDEReinstall->setEnabled(ReinstallEnabled);
}

} // namespace veltrane
