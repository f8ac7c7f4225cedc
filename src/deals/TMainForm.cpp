#include "deals/TMainForm.h"

#include "core/ProgramFolder.h"
#include "core/TDm.h"
#include "deals/TFrmPrnSanad.h"
#include "deals/TFrmSelGhovl.h"
#include "platform/db/DataSet.h"
#include "platform/db/Errors.h"
#include "platform/db/Sql.h"
#include "platform/richtext/ListLabels.h"
#include "platform/richtext/Rtf.h"
#include "platform/richtext/RtfUnits.h"
#include "platform/shell/Progress.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/FieldLink.h"
#include "platform/widgets/FormShow.h"
#include "ui/Dialogs.h"
#include "ui_TMainForm.h"

#include <QAbstractTextDocumentLayout>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>
#include <QToolBar>
#include <cmath>

TMainForm* MainForm = nullptr;

const QString TMainForm::UntitledName = QStringLiteral("Untitled");
const QString TMainForm::UntitledCaption = QStringLiteral("بدون نام");

namespace {

const QString kFilter = QStringLiteral("Rich Text Files (*.RTF *.rtf);;Text Files (*.TXT *.txt)");
constexpr double kPixelsPerPoint = 4.0 / 3.0;
constexpr int kGutter = 6;

// Plain message box of the platform (the save question, the overwrite question, the print error).
int plainBox(const QString& text, shell::PlainMessageRequest::Buttons buttons)
{
    shell::PlainMessageRequest r;
    r.caption = QCoreApplication::applicationName();
    r.text = text;
    r.buttons = buttons;
    return shell::prompter().plainMessage(r);
}

QString errorText(const std::exception& e)
{
    if (const auto* db = dynamic_cast<const db::DbError*>(&e))
        return db->message();
    return QString::fromUtf8(e.what());
}

bool isEditing(const db::DataSet* ds)
{
    return ds->State() == db::DataSetState::Edit || ds->State() == db::DataSetState::Insert;
}

} // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowStaysOnTopHint), ui(std::make_unique<Ui::TMainForm>())
{
    ui->setupUi(this);
    widgets::OnFormShow(this, [this] { FormShow(); });
    setAcceptDrops(true);
    QTextEdit* ed = ui->Editor;
    ed->setLineWrapMode(QTextEdit::WidgetWidth);
    ed->viewport()->installEventFilter(this);
    richtext::showListLabels(ed);

    // the default text font: the screen's font name and size in points
    const QFont screen = QApplication::font();
    QFont f(screen.family());
    f.setPointSizeF(screen.pointSizeF() > 0 ? screen.pointSizeF() : screen.pixelSize() * 72.0 / logicalDpiY());
    ed->document()->setDefaultFont(f);
    // paragraphs without letters of their own run right to left
    QTextOption option = ed->document()->defaultTextOption();
    option.setTextDirection(Qt::RightToLeft);
    ed->document()->setDefaultTextOption(option);
    QTextFrameFormat root = ed->document()->rootFrame()->frameFormat();
    root.setLeftMargin(kGutter);
    root.setRightMargin(kGutter);
    ed->document()->rootFrame()->setFrameFormat(root);

    auto* bar = ui->StatusBar;
    const int widths[3] = {120, 60, 50};
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i] = new QLabel(bar);
        StatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        StatusPanels[i]->setMinimumWidth(widths[i]);
        StatusPanels[i]->setFrameShape(QFrame::Panel);
        StatusPanels[i]->setFrameShadow(QFrame::Sunken);
        bar->addWidget(StatusPanels[i]);
    }
    StatusPanels[1]->setAlignment(Qt::AlignCenter);

    const auto icon = [this](QAction* a, QStyle::StandardPixmap p) { a->setIcon(style()->standardIcon(p)); };
    icon(ui->FileNewItem, QStyle::SP_FileIcon);
    icon(ui->ToolButton3, QStyle::SP_DialogOpenButton);
    icon(ui->ToolButton6, QStyle::SP_DialogOpenButton);
    icon(ui->FileSaveItem, QStyle::SP_DialogSaveButton);
    icon(ui->ToolButton7, QStyle::SP_DialogSaveButton);
    QFont boldFont = ui->BoldButton->font();
    boldFont.setBold(true);
    ui->BoldButton->setFont(boldFont);
    QFont italicFont = ui->ItalicButton->font();
    italicFont.setItalic(true);
    ui->ItalicButton->setFont(italicFont);
    QFont underFont = ui->UnderlineButton->font();
    underFont.setUnderline(true);
    ui->UnderlineButton->setFont(underFont);
    auto* align = new QActionGroup(this);
    align->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);   // justified: none
    for (QAction* a : {ui->LeftAlign, ui->CenterAlign, ui->RightAlign})
        align->addAction(a);
    ui->LeftAlign->setData(0);
    ui->RightAlign->setData(1);
    ui->CenterAlign->setData(2);

    buildFontBoxes();
    bindActions();
    // resting on a tool-bar control shows its hint in the status bar, in place of the panels
    for (QAction* a : findChildren<QAction*>())
        if (a->statusTip().isEmpty())
            a->setStatusTip(a->toolTip());
    for (QComboBox* box : {FontName, ComboBox1})
        box->setStatusTip(QStringLiteral("نوع خط"));
    for (QSpinBox* box : {FontSize, Edit1})
        box->setStatusTip(QStringLiteral("اندازه خط"));
    for (QWidget* marker : {static_cast<QWidget*>(ui->FirstInd), static_cast<QWidget*>(ui->LeftInd), static_cast<QWidget*>(ui->RightInd)}) {
        marker->installEventFilter(this);
        marker->setCursor(Qt::SizeHorCursor);
    }
    ui->Ruler->installEventFilter(this);

    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 1)
        CommandLineFile = args[1];
    SetEditorDocName(UntitledName);
    PrepareTemplateMode();
    SelectionChange();
    showStatus();
}

TMainForm::~TMainForm() = default;

QTextEdit* TMainForm::Editor() const { return ui->Editor; }

void TMainForm::buildFontBoxes()
{
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    const auto makeBoxes = [&](QToolBar* bar, QComboBox*& name, QSpinBox*& size, const char* nameId, const char* sizeId) {
        name = new QComboBox(bar);
        name->setObjectName(QString::fromLatin1(nameId));
        name->addItems(families);
        name->setEditable(true);
        name->setInsertPolicy(QComboBox::NoInsert);
        name->setMinimumWidth(150);
        size = new QSpinBox(bar);
        size->setObjectName(QString::fromLatin1(sizeId));
        size->setRange(1, 1638);
        size->setLayoutDirection(Qt::LeftToRight);
        QAction* before = bar->actions().value(bar->actions().indexOf(ui->BoldButton));
        bar->insertWidget(before, name);
        bar->insertWidget(before, size);
        bar->insertSeparator(before);
        // a name chosen from the list, or typed and confirmed with Enter
        connect(name, &QComboBox::textActivated, this, [this](const QString& family) {
            if (!Updating)
                SetFontName(family);
        });
        connect(size, qOverload<int>(&QSpinBox::valueChanged), this, [this](int points) {
            if (!Updating)
                SetFontSize(points);
        });
    };
    makeBoxes(ui->StandardToolBar, FontName, FontSize, "FontName", "FontSize");
    makeBoxes(ui->ToolBar1, ComboBox1, Edit1, "ComboBox1", "Edit1");
}

void TMainForm::bindActions()
{
    Ui::TMainForm& f = *ui;
    QTextEdit* ed = f.Editor;
    connect(f.FileNewItem, &QAction::triggered, this, [this] { FileNew(); });
    connect(f.FileOpenItem, &QAction::triggered, this, [this] { FileOpen(); });
    connect(f.N4, &QAction::triggered, this, [this] { FileOpen(); });
    connect(f.FileSaveItem, &QAction::triggered, this, [this] { FileSave(); });
    connect(f.FilePrintItem, &QAction::triggered, this, [this] { FilePrint(); });
    connect(f.FileExitItem, &QAction::triggered, this, &QWidget::close);
    connect(f.ToolButton3, &QAction::triggered, this, [this] { ToolButton3Click(); });
    connect(f.ToolButton6, &QAction::triggered, this, [this] { ToolButton3Click(); });
    connect(f.ToolButton7, &QAction::triggered, this, [this] { ToolButton7Click(); });
    connect(f.ToolButton8, &QAction::triggered, this, [this] { ToolButton8Click(); });
    connect(f.N7, &QAction::triggered, this, [this] { N7Click(); });
    connect(f.EditUndoItem, &QAction::triggered, ed, &QTextEdit::undo);
    connect(f.EditCutItem, &QAction::triggered, ed, &QTextEdit::cut);
    connect(f.EditCopyItem, &QAction::triggered, ed, &QTextEdit::copy);
    connect(f.EditPasteItem, &QAction::triggered, ed, &QTextEdit::paste);
    connect(f.EditFontItem, &QAction::triggered, this, [this] { EditFont(); });
    connect(f.BoldButton, &QAction::triggered, this, [this](bool on) { if (!Updating) SetBold(on); });
    connect(f.ItalicButton, &QAction::triggered, this, [this](bool on) { if (!Updating) SetItalic(on); });
    connect(f.UnderlineButton, &QAction::triggered, this, [this](bool on) { if (!Updating) SetUnderline(on); });
    connect(f.BulletsButton, &QAction::triggered, this, [this](bool on) { if (!Updating) SetBullets(on); });
    for (QAction* a : {f.LeftAlign, f.CenterAlign, f.RightAlign})
        connect(a, &QAction::triggered, this, [this, a] { if (!Updating) SetAlignment(a->data().toInt()); });

    f.EditUndoItem->setEnabled(false);
    f.EditCutItem->setEnabled(false);
    f.EditCopyItem->setEnabled(false);
    connect(ed, &QTextEdit::undoAvailable, f.EditUndoItem, &QAction::setEnabled);
    connect(ed, &QTextEdit::copyAvailable, f.EditCutItem, &QAction::setEnabled);
    connect(ed, &QTextEdit::copyAvailable, f.EditCopyItem, &QAction::setEnabled);
    const auto pasteState = [this] { ui->EditPasteItem->setEnabled(ui->Editor->canPaste()); };
    if (QClipboard* clip = QGuiApplication::clipboard())
        connect(clip, &QClipboard::dataChanged, this, pasteState);
    pasteState();

    connect(ed, &QTextEdit::cursorPositionChanged, this, [this] { SelectionChange(); });
    connect(ed, &QTextEdit::currentCharFormatChanged, this, [this] { SelectionChange(); });
    connect(ed->document(), &QTextDocument::modificationChanged, this, [this] { showStatus(); });
    connect(ed->document(), &QTextDocument::contentsChanged, this, [this] {
        if (!leadersDue)
            QMetaObject::invokeMethod(this, [this] { showLeaders(); }, Qt::QueuedConnection);
        leadersDue = true;
    });
}

// ---- document ----

QString TMainForm::EditorContent() const { return QString::fromLatin1(richtext::writeRtf(ui->Editor->document())); }

bool TMainForm::SetEditorContent(const QByteArray& content)
{
    QTextDocument* doc = ui->Editor->document();
    const QTextFrameFormat root = doc->rootFrame()->frameFormat();
    richtext::LoadResult result = richtext::LoadResult::TooLarge;
    unsigned dropped = 0;
    if (richtext::fitsLimit(content.size())) {
        shell::Progress progress(QStringLiteral("خواندن متن"), true);
        result = richtext::loadText(doc, content, &progress, &dropped);
    }
    if (result == richtext::LoadResult::TooLarge)
        ShowMessageDlg(dkError, QString(), richtext::tooLargeMessage(), dbOk, 8);
    if (result != richtext::LoadResult::Loaded)
        return false;
    doc->rootFrame()->setFrameFormat(root);
    // tables wider than the editor are shown whole, narrowed to it
    const double shown = doc->textWidth() > 0 ? doc->textWidth() : ui->Editor->viewport()->width();
    richtext::fitTables(doc, shown - root.leftMargin() - root.rightMargin() - 2 * (root.padding() + root.border()));
    doc->clearUndoRedoStacks();
    doc->setModified(false);
    DroppedParts = dropped;
    SelectionChange();
    if (dropped)
        ShowMessageDlg(dkInfo, QString(), DroppedPartsMessage(dropped), dbOk, 8);
    return true;
}

QString TMainForm::DroppedPartsMessage(unsigned dropped)
{
    const struct { unsigned part; const char16_t* name; } parts[] = {
        {richtext::DroppedNotes, u"پانويس‌ها و يادداشت‌هاي پايان متن"},
        {richtext::DroppedHeadersFooters, u"سرصفحه و پاصفحه"},
        {richtext::DroppedPictures, u"تصاويري از نوعي که نگه داشته نمي‌شود (جز PNG و JPEG)"},
        {richtext::DroppedObjects, u"شکل‌ها و اشياي درج‌شده"},
        {richtext::DroppedComments, u"يادداشت‌هاي حاشيه"},
    };
    QString text = QStringLiteral("اين متن بخش‌هايي دارد که ويرايشگر نشان نمي‌دهد و نگه نمي‌دارد:");
    for (const auto& p : parts)
        if (dropped & p.part)
            text += QStringLiteral("\n- ") + QString::fromUtf16(p.name);
    text += QStringLiteral("\nاگر متن را ذخيره کنيد، اين بخش‌ها در آن نخواهند بود؛ تا ذخيره نکنيد، متن ذخيره‌شده دست نمي‌خورد.");
    return text;
}

// Tab stops' leaders (dots, lines) drawn over the tabs that reach them; they are no part of
// the text.
void TMainForm::showLeaders()
{
    leadersDue = false;
    QTextDocument* doc = ui->Editor->document();
    doc->documentLayout()->documentSize();   // the changed lines laid out
    QList<QTextEdit::ExtraSelection> marks;
    for (const auto& [position, leader] : richtext::tabLeaderPlaces(*doc)) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(doc);
        mark.cursor.setPosition(position);
        mark.cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
        mark.format.setUnderlineStyle(richtext::leaderUnderline(leader));
        marks << mark;
    }
    if (!marks.isEmpty() || !ui->Editor->extraSelections().isEmpty())
        ui->Editor->setExtraSelections(marks);
}

void TMainForm::SetEditorDocName(const QString& name)
{
    DocName = name;
    const int cut = std::max(name.lastIndexOf(QLatin1Char('\\')), std::max(name.lastIndexOf(QLatin1Char(':')), name.lastIndexOf(QLatin1Char('/'))));
    setWindowTitle(name == UntitledName ? UntitledCaption : name.mid(cut + 1));
}

QString TMainForm::questionName() const
{
    if (!DealMode || !Dm)
        return DocName == UntitledName ? UntitledCaption : DocName;
    // the deal's contract: never taken for the template it started from
    const db::Field* number = Dm->QSanad->FindField(QStringLiteral("shoomareh"));
    const QString n = number && !number->AsString().isEmpty() ? number->AsString()
        : Dm->QSanad->FindField(QStringLiteral("SId")) ? Dm->QSanad->FieldByName(QStringLiteral("SId"))->AsString() : QString();
    return QStringLiteral("قرار داد شماره ") + n;
}

bool TMainForm::ConfirmSaveChanges()
{
    if (!ui->Editor->document()->isModified())
        return true;
    const int answer = plainBox(QStringLiteral("آيا تغييرات ذخيره شوند؟\r%1").arg(questionName()),
                                shell::PlainMessageRequest::YesNoCancel);
    if (answer == shell::ResultYes)
        return DealMode ? ToolButton7Click() : FileSave();
    return answer == shell::ResultNo;
}

void TMainForm::FileNew()
{
    SetEditorDocName(UntitledName);
    TemplateId = -1;
    SetEditorContent(QByteArray());
}

bool TMainForm::LoadEditorFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessageDlg(dkError, QString(), QStringLiteral("فايل باز نشد") + QLatin1Char('\n') + path, dbOk, 8);
        return false;
    }
    // the file's bytes as they are: the reader knows RTF, UTF-8 and the Windows code page
    if (!richtext::fitsLimit(file.size())) {
        ShowMessageDlg(dkError, QString(), richtext::tooLargeMessage() + QLatin1Char('\n') + path, dbOk, 8);
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QByteArray bytes = file.readAll();
    QApplication::restoreOverrideCursor();
    if (!SetEditorContent(bytes))
        return false;
    SetEditorDocName(path);
    TemplateId = -1;
    ui->Editor->setFocus();
    return true;
}

void TMainForm::FileOpen()
{
    if (!ConfirmSaveChanges())
        return;
    shell::FileRequest r;
    r.filter = kFilter;
    r.directory = ProgramFolder();
    bool readOnly = false;
    r.readOnly = &readOnly;
    const QString path = shell::prompter().openFile(r);
    if (path.isEmpty() || !LoadEditorFile(path))
        return;
    ui->Editor->setReadOnly(readOnly);
    SetEditorDocName(UntitledName);
    TemplateId = -1;
    ui->Editor->document()->setModified(false);
}

bool TMainForm::writeFile(const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(EditorContent().toLatin1()) < 0 || !file.commit()) {
        ShowMessageDlg(dkError, QString(), QStringLiteral("ذخيره فايل انجام نشد") + QLatin1Char('\n') + path, dbOk, 8);
        return false;
    }
    return true;
}

bool TMainForm::FileSave()
{
    if (DocName == UntitledName)
        return FileSaveAs();
    if (TemplateId == -1) {
        if (!writeFile(DocName))
            return false;
        ui->Editor->document()->setModified(false);
        return true;
    }
    db::DataSet* q = Dm->QGhovL;
    const bool opened = widgets::guarded([&] {
        q->Close();
        q->setSQL(QStringLiteral("select * from t_ghovl where id=") + QString::number(TemplateId));
        q->Open();
    });
    if (!opened)
        return false;
    if (q->IsEmpty()) {
        ShowMessageDlg(dkError, QString(), QStringLiteral("قولنامه مورد نظر حذف شده است"), dbOk, 8);
        return false;
    }
    const QString content = EditorContent();
    const bool saved = widgets::guarded([&] {
        q->Edit();
        q->FieldByName(QStringLiteral("ghtxt"))->SetAsString(content);
        q->Post();
    });
    if (!saved) {
        if (isEditing(q))
            q->Cancel();
        return false;
    }
    ui->Editor->document()->setModified(false);
    return true;
}

bool TMainForm::FileSaveAs()
{
    const QString name = ShowInputBox(QString(), QStringLiteral("نام قولنامه را وارد کنيد"), 50, QString(), imText,
                                      QStringLiteral("TRUE"));
    if (name.isEmpty())
        return false;
    db::DataSet* q = Dm->QGhovL;
    bool exists = false;
    if (!widgets::guarded([&] {
            q->Close();
            q->setSQL(QStringLiteral("select * from T_GhovL where esm=") + db::Q(name));
            q->Open();
            exists = !q->IsEmpty();
        }))
        return false;
    if (exists && ShowMessageDlg(dkQuestion, QString(), QStringLiteral("اين نام قبلا وارد شده \r\nآيا ادامه مي دهيد؟"),
                                 dbYes | dbNo, 10) != shell::ResultYes)
        return false;
    const QString content = EditorContent();
    int id = -1;
    const bool saved = widgets::guarded([&] {
        q->Insert();
        q->FieldByName(QStringLiteral("esm"))->SetAsString(name);
        q->FieldByName(QStringLiteral("ghtxt"))->SetAsString(content);
        q->Post();
        id = q->FieldByName(QStringLiteral("ID"))->AsInteger();
    });
    if (!saved) {
        if (isEditing(q))
            q->Cancel();
        return false;
    }
    TemplateId = id;
    SetEditorDocName(name);
    ui->Editor->document()->setModified(false);
    return true;
}

bool TMainForm::ToolButton3Click()
{
    TFrmSelGhovl picker(this, false);
    if (picker.exec() != QDialog::Accepted)
        return false;
    db::DataSet* q = Dm->QGhovL;
    if (!q->Active() || q->IsEmpty())
        return false;
    if (!SetEditorContent(q->FieldByName(QStringLiteral("ghtxt"))->AsBytes()))
        return false;
    SetEditorDocName(q->FieldByName(QStringLiteral("esm"))->AsString());
    TemplateId = q->FieldByName(QStringLiteral("ID"))->AsInteger();
    ui->Editor->setFocus();
    return true;
}

QString TMainForm::FileNameWithExtension(const QString& name, int filterIndex)
{
    const QString ext = QFileInfo(name).suffix().toLower();
    if (ext == QLatin1String("txt") || ext == QLatin1String("rtf"))
        return name;
    if (filterIndex == 0)
        return name + QStringLiteral(".rtf");
    if (filterIndex == 1)
        return name + QStringLiteral(".txt");
    return name;
}

bool TMainForm::N7Click()
{
    shell::FileRequest r;
    r.filter = kFilter;
    r.directory = ProgramFolder();
    r.overwritePrompt = false;
    int filterIndex = 0;
    r.selectedFilter = &filterIndex;
    const QString chosen = shell::prompter().saveFile(r);
    if (chosen.isEmpty())
        return false;
    const QString path = FileNameWithExtension(chosen, filterIndex);
    if (QFileInfo::exists(path)
        && plainBox(QStringLiteral("فايل مورد نظر در اين مسير موجود است ، آيا حذف شود؟\r%1").arg(path),
                    shell::PlainMessageRequest::YesNoCancel) != shell::ResultYes)
        return false;
    if (!writeFile(path))
        return false;
    SetEditorDocName(path);
    ui->Editor->document()->setModified(false);
    return true;
}

bool TMainForm::ToolButton7Click()
{
    DealSaved = true;
    db::DataSet* deal = Dm->QSanad;
    try {
        const QString content = EditorContent();
        deal->Edit();
        deal->FieldByName(QStringLiteral("ghovLnameh"))->SetAsString(content);
        deal->Post();
        ui->Editor->document()->setModified(false);
    } catch (const db::Abort&) {
        DealSaved = false;
    } catch (const std::exception& e) {
        DealSaved = false;
        ShowMessageDlg(dkError, QString(), QStringLiteral("خطايي در روند برنامه پيش آمد") + QLatin1Char('\n') + errorText(e),
                       dbOk, 8);
    }
    // nothing stays half-saved in the deal
    if (!DealSaved && isEditing(deal))
        widgets::guarded([deal] { deal->Cancel(); });
    return DealSaved;
}

void TMainForm::ToolButton8Click()
{
    ToolButton7Click();
    if (DealSaved)
        FilePrint();
    else
        plainBox(QStringLiteral("امکان حذف يا تغيير دادن اطلاعات براي کاربر فعلي وجود ندارد"), shell::PlainMessageRequest::Ok);
}

void TMainForm::FilePrint() { PrintContract(ui->Editor->document()); }

void TMainForm::FilesDropped(const QStringList& paths)
{
    if (paths.isEmpty() || !ConfirmSaveChanges())
        return;
    LoadEditorFile(paths.first());
}

// ---- modes ----

void TMainForm::PrepareTemplateMode()
{
    ui->StandardToolBar->show();
    DealMode = false;
    ui->FileMenu2->menuAction()->setVisible(true);
    ui->N8->menuAction()->setVisible(false);
    ui->ToolBar1->hide();
    for (QAction* a : {ui->FileNewItem, ui->FileOpenItem, ui->FileSaveItem, ui->FilePrintItem})
        a->setEnabled(true);
}

void TMainForm::PrepareDealMode()
{
    ui->StandardToolBar->hide();
    ui->FileMenu2->menuAction()->setVisible(false);
    ui->N8->menuAction()->setVisible(true);
    ui->ToolBar1->show();
    DealMode = true;
    // the template commands would write the deal's text into a template or a file
    for (QAction* a : {ui->FileNewItem, ui->FileOpenItem, ui->FileSaveItem, ui->FilePrintItem})
        a->setEnabled(false);
}

void TMainForm::ShowModal()
{
    if (isVisible())
        hide();
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    QEventLoop loop;
    modalLoop = &loop;
    if (isVisible())
        loop.exec(QEventLoop::DialogExec);
    modalLoop = nullptr;
    setWindowModality(Qt::NonModal);
}

// ---- window events ----

void TMainForm::FormShow()
{
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
    SelectionChange();
    showStatus();
    ui->Editor->setFocus();
    if (!shownOnce) {
        shownOnce = true;
        if (!CommandLineFile.isEmpty() && QFileInfo(CommandLineFile).isFile())
            LoadEditorFile(CommandLineFile);
    }
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    bool go = false;
    try {
        go = ConfirmSaveChanges();
    } catch (...) {
        go = false;
    }
    if (!go) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void TMainForm::hideEvent(QHideEvent* event)
{
    QMainWindow::hideEvent(event);
    // minimised, the deal's editor is still open
    if (modalLoop && !event->spontaneous())
        modalLoop->quit();
}

void TMainForm::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Alt)
        for (QWidget* w : findChildren<QWidget*>())
            w->update();
    QMainWindow::keyReleaseEvent(event);
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    UpdateRuler();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (shownOnce && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    FilesDropped(paths);
}

// ---- formatting ----

void TMainForm::mergeFormat(const QTextCharFormat& format)
{
    ui->Editor->mergeCurrentCharFormat(format);
}

void TMainForm::SetBold(bool on)
{
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeFormat(f);
}

void TMainForm::SetItalic(bool on)
{
    QTextCharFormat f;
    f.setFontItalic(on);
    mergeFormat(f);
}

void TMainForm::SetUnderline(bool on)
{
    QTextCharFormat f;
    f.setFontUnderline(on);
    mergeFormat(f);
}

void TMainForm::SetFontName(const QString& family)
{
    if (family.isEmpty())
        return;
    QTextCharFormat f;
    f.setFontFamilies({family});
    mergeFormat(f);
}

void TMainForm::SetFontSize(int points)
{
    if (points <= 0)
        return;
    QTextCharFormat f;
    f.setFontPointSize(points);
    mergeFormat(f);
}

void TMainForm::SetAlignment(int tag)
{
    QTextCursor c = ui->Editor->textCursor();
    QTextBlockFormat f;
    richtext::setPhysicalAlignment(f, tag == 0 ? richtext::Align::Left : tag == 1 ? richtext::Align::Right : richtext::Align::Centre);
    c.mergeBlockFormat(f);
    SelectionChange();
}

void TMainForm::SetBullets(bool on)
{
    QTextCursor c = ui->Editor->textCursor();
    c.beginEditBlock();
    if (on) {
        if (!c.currentList()) {
            QTextListFormat lf;
            lf.setStyle(QTextListFormat::ListDisc);
            c.createList(lf);
        }
    } else if (QTextList* list = c.currentList()) {
        const int first = c.selectionStart(), last = c.selectionEnd();
        for (QTextBlock b = ui->Editor->document()->findBlock(first); b.isValid() && b.position() <= last; b = b.next()) {
            if (QTextList* l = b.textList())
                l->remove(b);
            QTextCursor bc(b);
            QTextBlockFormat bf = b.blockFormat();
            bf.setIndent(0);
            bc.setBlockFormat(bf);
        }
        Q_UNUSED(list);
    }
    c.endEditBlock();
    SelectionChange();
}

void TMainForm::EditFont()
{
    QFont initial = ui->Editor->currentCharFormat().font();
    if (const std::optional<QFont> chosen = shell::prompter().chooseFont(initial)) {
        QTextCharFormat f;
        f.setFont(*chosen, QTextCharFormat::FontPropertiesAll);
        mergeFormat(f);
    }
}

QPoint TMainForm::CaretPos() const
{
    const QTextCursor c = ui->Editor->textCursor();
    const QTextBlock block = c.block();
    const int inBlock = c.position() - block.position();
    // visual lines of the paragraphs above, then the line of the caret in its paragraph
    int line = 0;
    for (QTextBlock b = ui->Editor->document()->begin(); b.isValid() && b != block; b = b.next())
        line += b.layout() && b.layout()->lineCount() > 0 ? b.layout()->lineCount() : 1;
    int column = inBlock;
    if (const QTextLayout* layout = block.layout(); layout && layout->lineCount() > 0) {
        const QTextLine l = layout->lineForTextPosition(inBlock);
        if (l.isValid()) {
            line += l.lineNumber();
            column = inBlock - l.textStart();
        }
    }
    return QPoint(column + 1, line + 1);
}

QString TMainForm::CaretText(int line, int column)
{
    QString text = QStringLiteral("خط: %3d   ستون: %3d");
    text.replace(text.indexOf(QLatin1String("%3d")), 3, QStringLiteral("%1").arg(line, 3));
    text.replace(text.indexOf(QLatin1String("%3d")), 3, QStringLiteral("%1").arg(column, 3));
    return text;
}

void TMainForm::showStatus()
{
    const QPoint p = CaretPos();
    StatusPanels[0]->setText(CaretText(p.y(), p.x()));
    StatusPanels[1]->setText(ui->Editor->document()->isModified() ? QStringLiteral("تغيير کرده") : QString());
}

void TMainForm::SelectionChange()
{
    Updating = true;
    const QTextCharFormat f = ui->Editor->currentCharFormat();
    const QTextCursor c = ui->Editor->textCursor();
    ui->BoldButton->setChecked(f.fontWeight() >= QFont::Bold);
    ui->ItalicButton->setChecked(f.fontItalic());
    ui->UnderlineButton->setChecked(f.fontUnderline());
    ui->BulletsButton->setChecked(c.currentList() != nullptr);
    const QFont font = f.font();
    const int size = int(std::lround(f.fontPointSize() > 0 ? f.fontPointSize() : ui->Editor->document()->defaultFont().pointSizeF()));
    const QStringList fam = f.fontFamilies().toStringList();
    const QString family = fam.isEmpty() ? ui->Editor->document()->defaultFont().family() : fam.first();
    for (QSpinBox* box : {FontSize, Edit1})
        if (box)
            box->setValue(size);
    for (QComboBox* box : {FontName, ComboBox1})
        if (box) {
            const int i = box->findText(family, Qt::MatchFixedString);
            box->setCurrentIndex(i);
            box->setEditText(family);
        }
    const richtext::Align a = richtext::physicalAlignment(c.blockFormat(), richtext::isRightToLeft(c.block()));
    ui->LeftAlign->setChecked(a == richtext::Align::Left);
    ui->RightAlign->setChecked(a == richtext::Align::Right);
    ui->CenterAlign->setChecked(a == richtext::Align::Centre);
    Q_UNUSED(font);
    UpdateRuler();
    showStatus();
    Updating = false;
}

// ---- ruler ----

void TMainForm::UpdateRuler()
{
    const QTextBlockFormat f = ui->Editor->textCursor().blockFormat();
    const int width = ui->Ruler->width();
    const int firstPx = int(f.leftMargin() + f.textIndent());
    ui->FirstInd->move(firstPx + 2, ui->FirstInd->y());
    ui->LeftInd->move(int(f.leftMargin()) + 2, ui->LeftInd->y());
    ui->RightInd->move((width - kGutter) - int((f.rightMargin() + kGutter * kPixelsPerPoint)), ui->RightInd->y());
}

void TMainForm::DropMarker(QWidget* marker, int x)
{
    const int offset = marker->width() / 2;
    QTextBlockFormat f;
    const QTextBlockFormat now = ui->Editor->textCursor().blockFormat();
    const auto toPoints = [](double pixels) { return std::trunc(pixels / kPixelsPerPoint); };
    if (marker == ui->FirstInd || marker == ui->LeftInd) {
        const int firstX = marker == ui->FirstInd ? x : ui->FirstInd->x();
        const int leftX = marker == ui->LeftInd ? x : ui->LeftInd->x();
        const double first = std::max(0.0, toPoints(firstX + offset - kGutter));
        const double left = std::max(0.0, toPoints(leftX + offset - kGutter));
        f.setLeftMargin(left * kPixelsPerPoint);
        f.setTextIndent((first - left) * kPixelsPerPoint);
        f.setRightMargin(now.rightMargin());
    } else {
        const double right = std::max(0.0, toPoints(ui->Ruler->width() - x + offset - 2) - 12);
        f.setRightMargin(right * kPixelsPerPoint);
        f.setLeftMargin(now.leftMargin());
        f.setTextIndent(now.textIndent());
    }
    ui->Editor->textCursor().mergeBlockFormat(f);
    SelectionChange();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    QWidget* w = qobject_cast<QWidget*>(watched);
    if (w == ui->FirstInd || w == ui->LeftInd || w == ui->RightInd) {
        if (event->type() == QEvent::MouseButtonPress) {
            dragOffset = static_cast<QMouseEvent*>(event)->position().toPoint().x();
            return true;
        }
        if (event->type() == QEvent::MouseMove && (static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton)) {
            const int x = w->mapToParent(static_cast<QMouseEvent*>(event)->position().toPoint()).x() - dragOffset;
            w->move(std::clamp(x, 0, ui->Ruler->width() - w->width()), w->y());
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            DropMarker(w, w->x());
            return true;
        }
    } else if (watched == ui->Ruler && event->type() == QEvent::Paint) {
        // the scale: a tick every tab stop, the line under it the ruler's width less the gutters
        QPainter p(ui->Ruler);
        p.setPen(palette().color(QPalette::WindowText));
        const int w2 = ui->Ruler->width();
        p.drawLine(kGutter, 12, w2 - kGutter, 12);
        const int step = int(std::lround(ui->Editor->document()->defaultTextOption().tabStopDistance()));
        for (int i = 1; i <= 100 && kGutter + i * step < w2; ++i)
            p.drawLine(kGutter + i * step, 9, kGutter + i * step, 15);
    } else if (watched == ui->Editor->viewport()) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* e = static_cast<QDropEvent*>(event);
            if (shownOnce && e->mimeData()->hasUrls()) {
                e->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* e = static_cast<QDropEvent*>(event);
            if (e->mimeData()->hasUrls()) {
                dropEvent(e);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
