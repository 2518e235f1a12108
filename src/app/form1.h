#pragma once

#include "analysis/checkresults.h"
#include "analysis/comparisonrun.h"
#include "analysis/exclusions.h"
#include "analysis/runprogress.h"
#include "comparator/compareandmark.h"
#include "engine/endpoints.h"
#include "engine/enginemenu.h"
#include "version.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QTimer;

namespace veltrik {

class BrowserView;
class CheckKeeper;
class Desktop;
class DocumentFiles;
class Form2;
class ResultsWindow;
class RichEditor;
class TabOrder;

// What the main window needs from outside: the desktop seam, a maker of browser views (the real engine,
// or a test double) and the remote endpoints.
struct Form1Services {
    Desktop *desktop = nullptr;
    std::function<BrowserView *(QWidget *parent)> makeBrowser;
    Endpoints endpoints = Endpoints::defaults();
    // Where the check of the run going on is kept, to be continued after a crash; empty keeps none.
    QString automaticCheckFile;
};

// The main window: the article editor, the sentence list, the buttons, the labels, the two browser
// views and the menu bar. Controls carry their conventional names as object names. It shows the
// comparison run it owns and hands it the clicks, the pacing ticks and the result pages.
class Form1 : public QMainWindow, private RunListener {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form1)

public:
    static inline const QString kCaption = QStringLiteral("Veltrik V") + QLatin1StringView(kVersion);
    static inline const QString kAppTitle = QStringLiteral("Veltrik");
    // The editor's design size, in twips, to which the new and open commands return it.
    static constexpr double kEditorDesignWidth = 10140;
    static constexpr double kEditorDesignHeight = 6225;

    explicit Form1(Form1Services services, QWidget *parent = nullptr);
    ~Form1() override;

    const AnalysisState &state() const { return m_run->state(); }
    const Form1Services &services() const { return m_services; }
    ComparisonRun &run() { return *m_run; }

    // Lays the controls out for the window's current outer size.
    void Form_Resize();
    // "退出": asks, maybe opens the product page, then ends the program.
    void tuichu_Click();
    void xinjian_Click(); // 新建
    void dakai_Click();   // 打开
    void baocun_Click();  // 保存
    // Opens a file dropped onto the editor as "打开" opens a chosen one.
    void RichTextBox1_FileDropped(const QString &path);
    // "分析选项": asks what the next analyses leave out.
    void fxxx_Click();
    const AnalysisOptions &analysisOptions() const { return m_analysisOptions; }
    void setAnalysisOptions(const AnalysisOptions &options) { m_analysisOptions = options; }
    // Releasing the space bar sets the typing font to 宋体.
    void RichTextBox1_KeyUp(int key, Qt::KeyboardModifiers modifiers);
    // Shows the comparator window, modeless and without an owner; an open one is brought up unchanged.
    void openComparator();
    Form2 *comparator() const;
    // "检测结果": shows the results window with the check as it stands; an open one is brought up.
    void openResults();
    ResultsWindow *resultsWindow() const { return m_results.get(); }
    // Piece `piece` (0-based) has a new result: an open results window redoes what shows it.
    void refreshResults(int piece);
    EngineMenu &engineMenu() { return *m_engineMenu; }
    CheckKeeper &checks() { return *m_checks; }

    // Controls and menu items, by their conventional names.
    BrowserView *WebBrowser1() const { return m_ui.WebBrowser1; }
    BrowserView *WebBrowser2() const { return m_ui.WebBrowser2; }
    RichEditor *RichTextBox1() const { return m_ui.RichTextBox1; }
    QPushButton *Command1() const { return m_ui.Command1; }
    QPushButton *Command2() const { return m_ui.Command2; }
    QPushButton *Command3() const { return m_ui.Command3; }
    QPushButton *Command4() const { return m_ui.Command4; }
    QPushButton *Command5() const { return m_ui.Command5; }
    QPushButton *Command6() const { return m_ui.Command6; }
    QLabel *Label1() const { return m_ui.Label1; }
    QLabel *Label2() const { return m_ui.Label2; }
    QListWidget *List1() const { return m_ui.List1; }
    QMenu *wjcd() const { return m_ui.wjcd; }
    QMenu *yjcd() const { return m_ui.yjcd; }
    QMenu *yinqing() const { return m_ui.yinqing; }
    QAction *baidu() const { return m_ui.engine.baidu; }
    QAction *wenku() const { return m_ui.engine.wenku; }
    QAction *longyuan() const { return m_ui.engine.longyuan; }
    QAction *zhiwang() const { return m_ui.engine.zhiwang; }
    QAction *fxxx() const { return m_ui.fxxx; }
    QAction *duibiqi() const { return m_ui.engine.duibiqi; }
    QAction *gengxin() const { return m_ui.engine.gengxin; }
    QAction *jieguo() const { return m_jieguo; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setupControls();
    void setupLabels();
    void setupButtons();
    void setupMenus();
    void setupFileMenu();
    void connectDocumentCommands();
    void setupEditMenu();
    void setupEngineMenu();
    void setupTabOrder();
    void setDesignSize();
    void Form_Load();
    void endProgram();
    void showResults(bool activate);
    RunPhase runPhase() const;

    void connectRun();
    void Command5_Click(); // 统计相似性网站
    void WebBrowser1_DownloadComplete();
    void WebBrowser1_NewWindow(const QString &address);

    QString articleText() const override;
    QString articleFileName() const override;
    SearchEngine chosenEngine() const override;
    bool pageLoading() const override;
    void showAnalysis(const QStringList &rows, const QString &exclusionNote) override;
    void showSelectedRow(int row, const QString &piece) override;
    void showComparing() override;
    void showEditorAlone() override;
    void markPiece(const QString &piece) override;
    void showStatus(const QString &text) override;
    void showFigures(const QString &text) override;
    void showRunState(bool automatic) override;
    void inform(const QString &text) override;
    void send(const QString &address) override;
    void restartPacing() override;
    void pieceResultChanged(int piece) override;

    void setupCheckMenu();
    void connectChecks();
    void takeUpCheck(const CheckResults &check);

    QPushButton *addButton(const QString &name, const QString &caption, QRect twips);
    QAction *addMenuItem(QMenu *menu, const QString &name, const QString &caption);

    struct Controls {
        BrowserView *WebBrowser1 = nullptr;
        BrowserView *WebBrowser2 = nullptr;
        RichEditor *RichTextBox1 = nullptr;
        QPushButton *Command1 = nullptr;
        QPushButton *Command2 = nullptr;
        QPushButton *Command3 = nullptr;
        QPushButton *Command4 = nullptr;
        QPushButton *Command5 = nullptr;
        QPushButton *Command6 = nullptr;
        QLabel *Label1 = nullptr;
        QLabel *Label2 = nullptr;
        QListWidget *List1 = nullptr;
        QMenu *wjcd = nullptr;
        QMenu *yjcd = nullptr;
        QMenu *yinqing = nullptr;
        EngineMenuItems engine;
        QAction *fxxx = nullptr;
    };

    Form1Services m_services;
    Controls m_ui;
    AnalysisOptions m_analysisOptions;
    std::unique_ptr<ComparisonRun> m_run;
    QTimer *m_pacing = nullptr;
    EngineMenu *m_engineMenu = nullptr;
    // The comparator's running totals live as long as the program; the window comes and goes.
    CompareTotals m_comparatorTotals;
    QPointer<Form2> m_comparator;
    // The document library last opened in a comparator window; empty until one is.
    QString m_libraryLocation;
    std::unique_ptr<DocumentFiles> m_files;
    std::unique_ptr<TabOrder> m_tabOrder;
    std::unique_ptr<CheckKeeper> m_checks;
    bool m_ending = false;
    QAction *m_jieguo = nullptr;
    std::unique_ptr<ResultsWindow> m_results;
    // The results of the check as the window has shown them, piece by piece.
};

} // namespace veltrik
