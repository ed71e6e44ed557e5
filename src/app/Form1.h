#pragma once

#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

#include "app/AppServices.h"
#include "app/ComboBox.h"
#include "app/DesignLayout.h"
#include "app/ListView.h"
#include "app/ListViewFileList.h"
#include "app/ProgressBar.h"
#include "app/SkinFramework.h"
#include "intake/FileList.h"
#include "platform/DialogErrorSink.h"
#include "platform/Pointer.h"

namespace app {

// The main window. Every control is a public member named (and objectName'd) as in the form
// designer; subsystems attach their handlers to the controls' signals through controllers
// (see Assembly.h) and reach the list through FileList(). The window's mouse pointer is the
// busy signal: 11 (hourglass) while a long operation runs, 99 (hand) over the buttons, 0 else.
class Form1 : public QWidget, public platform::WindowPointer {
    Q_OBJECT
  public:
    // Builds the controls at their design positions; start-up (Form_Load) is a separate step.
    explicit Form1(AppServices& services, QWidget* parent = nullptr);
    ~Form1() override;

    ListView* ListView1;
    QPushButton* PushButton1;  // "Add Word File(s)"
    QPushButton* PushButton2;  // "Start Inserting"
    QPushButton* PushButton3;  // "Add All Word File(s) In Folder"
    QPushButton* PushButton5;  // "Clear List"
    QPushButton* PushButton6;  // "Load Sample/Example Files"
    QGroupBox* Frame1;         // "Insert Options"
    ComboBox* Combo1;          // insert mode (drop-down list)
    ComboBox* Combo2;          // font size (drop-down combo, accepts typing)
    ComboBox* Combo3;          // font name (drop-down list)
    QLabel* Label1;            // "Lines To Insert:"
    QLabel* Label2;            // "Font Size:"
    QLabel* Label3;            // "Font Name:"
    QPlainTextEdit* Text1;     // lines to insert
    ProgressBar* ProgressBar1;
    SkinFramework* SkinFramework1;  // invisible skin component

    // The document list shown in ListView1.
    intake::FileList& FileList() { return *fileList_; }
    AppServices& Services() { return services_; }
    // Where guarded procedures of the window show their "Application Error" reports.
    runtime::ErrorSink& ErrorReports() { return errorSink_; }
    // The caption of message and input boxes that have no title of their own (set at start-up).
    QString ApplicationTitle() const { return applicationTitle_; }
    // The window handle handed to the skin component.
    qint32 hWnd() const { return handle_; }

    // 0 default, 1 arrow, 11 hourglass, 99 the mouse icon (a pointing hand while none loaded).
    int MousePointer() const override { return mousePointer_; }
    void SetMousePointer(int value) override;
    // Loads the picture of pointer 99 from a cursor or icon file; raises runtime::Error 481
    // ("Invalid picture") when the file holds no readable pointer, keeping the previous one.
    void LoadMouseIcon(const QString& file);
    bool HasMouseIcon() const { return mouseIcon_.has_value(); }

    // The client area at its designed size (scale 1), in pixels; the window cannot be resized.
    static QSize DesignSize();
    // Lays the whole design out at this scale, fonts and positions alike (1: as designed).
    void SetLayoutScale(double scale);
    double LayoutScale() const { return layout_.Scale(); }

    // True once the program was ended (closing the window, or Word missing at start-up).
    bool Ended() const { return ended_; }

    // Start-up: skin, caption, pointer, option lists restored from the settings, font names,
    // Word check. Every failing step is reported and the next one runs.
    void Form_Load();
    // Ends the program at once; nothing is saved (every choice was saved when made).
    void Form_Unload();
    // Pointer rule of the window's free area and of the frame: back to 0 unless hourglass.
    void Form_MouseMove();
    void Frame1_MouseMove();
    // The buttons show the hand pointer (99) unless the hourglass shows.
    void PushButton1_MouseMove() { ShowHandUnlessBusy(); }
    void PushButton2_MouseMove() { ShowHandUnlessBusy(); }
    void PushButton3_MouseMove() { ShowHandUnlessBusy(); }
    void PushButton5_MouseMove() { ShowHandUnlessBusy(); }
    void PushButton6_MouseMove() { ShowHandUnlessBusy(); }
    // Save the choice at once: the selected index (Combo1..3) or the whole text (Text1); the
    // font list also saves the font's name (platform::kFontNameKey).
    void Combo1_Click();
    void Combo2_Click();
    void Combo3_Click();
    void Text1_Change();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void SetTabOrder();
    void ShowHandUnlessBusy();
    void ApplyPointer();
    void EndProgram();
    void SaveChoice(const QString& key, const QString& value);

    AppServices& services_;
    DesignLayout layout_;
    std::unique_ptr<ListViewFileList> fileList_;
    platform::DialogErrorSink errorSink_;
    QString applicationTitle_;
    qint32 handle_;
    int mousePointer_ = 0;
    std::optional<QCursor> mouseIcon_;
    bool ended_ = false;
};

}  // namespace app
