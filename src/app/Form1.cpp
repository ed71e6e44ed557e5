#include "app/Form1.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFont>
#include <QMouseEvent>

#include <iterator>

#include "app/Colors.h"
#include "app/CursorFile.h"
#include "platform/StoredChoices.h"
#include "runtime/Error.h"

namespace app {

namespace {

// Window client area in twips.
constexpr int kClientWidthTwips = 8040;
constexpr int kClientHeightTwips = 7725;

QFont ArialBold(double points) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setPointSizeF(points);
    return font;
}

}  // namespace

Form1::Form1(AppServices& services, QWidget* parent)
    : QWidget(parent),
      services_(services),
      errorSink_(services.dialogs),
      handle_(services.windowHandles.Next()) {
    BuildControls();
}

Form1::~Form1() = default;

void Form1::BuildControls() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    SetBackColor(this, kWhite);
    setMouseTracking(true);

    const QFont optionFont = ArialBold(9);
    const QFont buttonFont = ArialBold(11.25);

    ListView1 = new ListView(this);
    fileList_ = std::make_unique<ListViewFileList>(*ListView1);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    layout_.SetFont(ListView1, optionFont);
    ListView1->setToolTip(QStringLiteral(
        "Drag and drop files here. Double-click item to remove it. Move | line to right and out "
        "of window to reveal full names."));
    layout_.Place(ListView1, 120, 120, 7800, 2535);

    auto button = [&](QPushButton*& member, const char* name, const QString& caption, int left,
                      int top, int width, int height) {
        member = new QPushButton(caption, this);
        member->setObjectName(QString::fromLatin1(name));
        layout_.SetFont(member, buttonFont);
        member->setMouseTracking(true);
        member->setAttribute(Qt::WA_NoMousePropagation);
        member->installEventFilter(this);
        layout_.Place(member, left, top, width, height);
    };
    button(PushButton1, "PushButton1", QStringLiteral("Add Word File(s)"), 120, 2750, 3840, 405);
    button(PushButton3, "PushButton3", QStringLiteral("Add All Word File(s) In Folder"), 4080, 2750,
           3840, 405);
    button(PushButton5, "PushButton5", QStringLiteral("Clear List"), 120, 3260, 3840, 405);
    button(PushButton6, "PushButton6", QStringLiteral("Load Sample/Example Files"), 4080, 3260,
           3840, 405);
    button(PushButton2, "PushButton2", QStringLiteral("Start Inserting"), 120, 6680, 7800, 405);

    Frame1 = new QGroupBox(QStringLiteral("Insert Options"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    layout_.SetFont(Frame1, optionFont);
    Frame1->setMouseTracking(true);
    Frame1->installEventFilter(this);
    SetBackColor(Frame1, kWhite);
    layout_.Place(Frame1, 120, 3720, 7800, 2835);

    Combo1 = new ComboBox(false, QString(), Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    layout_.Place(Combo1, 255, 300, 7260, 345);

    Label1 = new QLabel(QStringLiteral("Lines To Insert:"), Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    layout_.Place(Label1, 300, 825, 1305, 225);

    Text1 = new QPlainTextEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setTabChangesFocus(true);
    layout_.Place(Text1, 1740, 780, 5760, 855);

    Label3 = new QLabel(QStringLiteral("Font Name:"), Frame1);
    Label3->setObjectName(QStringLiteral("Label3"));
    layout_.Place(Label3, 300, 1825, 945, 225);

    Combo3 = new ComboBox(false, QString(), Frame1);
    Combo3->setObjectName(QStringLiteral("Combo3"));
    layout_.Place(Combo3, 1740, 1780, 5775, 345);

    Label2 = new QLabel(QStringLiteral("Font Size:"), Frame1);
    Label2->setObjectName(QStringLiteral("Label2"));
    layout_.Place(Label2, 300, 2345, 810, 225);

    Combo2 = new ComboBox(true, QStringLiteral("Combo2"), Frame1);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    layout_.Place(Combo2, 1740, 2300, 5775, 345);

    for (QWidget* w : {static_cast<QWidget*>(Combo1), static_cast<QWidget*>(Combo2),
                       static_cast<QWidget*>(Combo3), static_cast<QWidget*>(Text1),
                       static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2),
                       static_cast<QWidget*>(Label3)})
        layout_.SetFont(w, optionFont);
    for (QLabel* label : {Label1, Label2, Label3})
        SetBackColor(label, kWhite);

    ProgressBar1 = new ProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    layout_.SetFont(ProgressBar1, optionFont);
    ProgressBar1->SetText(QStringLiteral("Progress Bar"));
    layout_.Place(ProgressBar1, 120, 7200, 7800, 405);

    SkinFramework1 = new SkinFramework(
        [this](qint32 hWnd) -> QWidget* { return hWnd == handle_ ? this : nullptr; }, this);
    SkinFramework1->setObjectName(QStringLiteral("SkinFramework1"));

    SetTabOrder();
    SetLayoutScale(1.0);

    connect(Combo1, &ComboBox::Click, this, &Form1::Combo1_Click);
    connect(Combo2, &ComboBox::Click, this, &Form1::Combo2_Click);
    connect(Combo3, &ComboBox::Click, this, &Form1::Combo3_Click);
    connect(Text1, &QPlainTextEdit::textChanged, this, &Form1::Text1_Change);
}

void Form1::SetTabOrder() {
    // The order in which the eye reads the window: the list, its four buttons row by row, the
    // options from top to bottom, then "Start Inserting".
    const QWidget* order[] = {ListView1, PushButton1, PushButton3, PushButton5, PushButton6,
                              Combo1,    Text1,       Combo3,      Combo2,      PushButton2};
    for (std::size_t k = 0; k + 1 < std::size(order); ++k)
        setTabOrder(const_cast<QWidget*>(order[k]), const_cast<QWidget*>(order[k + 1]));
}

QSize Form1::DesignSize() {
    return QSize(DesignLayout::Pixels(kClientWidthTwips, 1.0),
                 DesignLayout::Pixels(kClientHeightTwips, 1.0));
}

void Form1::SetLayoutScale(double scale) {
    layout_.SetScale(scale);
    setFixedSize(layout_.Pixels(kClientWidthTwips), layout_.Pixels(kClientHeightTwips));
    for (QLabel* label : {Label1, Label2, Label3}) {
        // A caption never loses its end to a font a little wider than the designer's: the
        // label grows to the right, where the frame is empty up to the option controls.
        label->resize(qMax(label->width(), label->sizeHint().width()), label->height());
    }
    ListView1->SetScale(scale);
}

void Form1::SetMousePointer(int value) {
    mousePointer_ = value;
    ApplyPointer();
}

void Form1::ApplyPointer() {
    switch (mousePointer_) {
        case platform::vbArrow:
            setCursor(Qt::ArrowCursor);
            break;
        case platform::vbHourglass:
            setCursor(Qt::WaitCursor);
            break;
        case platform::vbCustom:
            setCursor(mouseIcon_ ? *mouseIcon_ : QCursor(Qt::PointingHandCursor));
            break;
        default:
            unsetCursor();
            break;
    }
}

void Form1::LoadMouseIcon(const QString& file) {
    std::optional<QCursor> cursor = LoadCursorFile(file);
    if (!cursor)
        throw runtime::Error(481, "Invalid picture");
    mouseIcon_ = *cursor;
    ApplyPointer();
}

void Form1::ShowHandUnlessBusy() {
    if (MousePointer() != platform::vbHourglass)
        SetMousePointer(platform::vbCustom);
}

void Form1::Form_MouseMove() {
    if (MousePointer() != platform::vbHourglass)
        SetMousePointer(platform::vbDefault);
}

void Form1::Frame1_MouseMove() {
    if (MousePointer() != platform::vbHourglass)
        SetMousePointer(platform::vbDefault);
}

void Form1::SaveChoice(const QString& key, const QString& value) {
    services_.settings.SaveSetting(platform::kSettingsApp, platform::kSettingsSection, key, value);
}

void Form1::Combo1_Click() {
    SaveChoice(QStringLiteral("Combo1"), QString::number(Combo1->ListIndex()));
}

void Form1::Combo2_Click() {
    SaveChoice(QStringLiteral("Combo2"), QString::number(Combo2->ListIndex()));
}

void Form1::Combo3_Click() {
    SaveChoice(QStringLiteral("Combo3"), QString::number(Combo3->ListIndex()));
    SaveChoice(platform::kFontNameKey, Combo3->Text());
}

void Form1::Text1_Change() {
    SaveChoice(QStringLiteral("Textbox"), Text1->toPlainText());
}

void Form1::EndProgram() {
    ended_ = true;
    if (services_.endProgram)
        services_.endProgram();
}

void Form1::Form_Unload() {
    EndProgram();
}

void Form1::closeEvent(QCloseEvent* event) {
    event->accept();
    Form_Unload();
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    Form_MouseMove();
    QWidget::mouseMoveEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        if (watched == Frame1)
            Frame1_MouseMove();
        else if (watched == PushButton1)
            PushButton1_MouseMove();
        else if (watched == PushButton2)
            PushButton2_MouseMove();
        else if (watched == PushButton3)
            PushButton3_MouseMove();
        else if (watched == PushButton5)
            PushButton5_MouseMove();
        else if (watched == PushButton6)
            PushButton6_MouseMove();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace app
