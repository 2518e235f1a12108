#pragma once

#include "analysis/analysisstate.h"
#include "analysis/exclusions.h"
#include "comparator/compareandmark.h"
#include "engine/endpoints.h"
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
class Desktop;
class DocumentFiles;
class EngineMenu;
class Form2;
class RichEditor;
class TabOrder;
class WebComparison;

// What the main window needs from outside: the desktop seam, a maker of browser views (the real engine,
// or a test double) and the remote endpoints.
struct Form1Services {
    Desktop *desktop = nullptr;
    std::function<BrowserView *(QWidget *parent)> makeBrowser;
    Endpoints endpoints = Endpoints::defaults();
};

// The main window: the article editor, the sentence list, the buttons, the labels, the two browser
// views and the menu bar. Controls carry their conventional names as object names.
class Form1 : public QMainWindow {
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

    AnalysisState &state() { return m_state; }
    const Form1Services &services() const { return m_services; }
    WebComparison &comparison() { return *m_comparison; }

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
    EngineMenu &engineMenu() { return *m_engineMenu; }

    // Controls and menu items, by their conventional names.
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
    QAction *baidu = nullptr;
    QAction *wenku = nullptr;
    QAction *longyuan = nullptr;
    QAction *zhiwang = nullptr;
    QAction *fxxx = nullptr;
    QAction *duibiqi = nullptr;
    QAction *gengxin = nullptr;

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
    void returnEditorToDesignSize();
    void Form_Load();
    void endProgram();

    QPushButton *addButton(const QString &name, const QString &caption, QRect twips);
    QAction *addMenuItem(QMenu *menu, const QString &name, const QString &caption);

    Form1Services m_services;
    AnalysisState m_state;
    AnalysisOptions m_analysisOptions;
    WebComparison *m_comparison = nullptr;
    EngineMenu *m_engineMenu = nullptr;
    // The comparator's running totals live as long as the program; the window comes and goes.
    CompareTotals m_comparatorTotals;
    QPointer<Form2> m_comparator;
    std::unique_ptr<DocumentFiles> m_files;
    std::unique_ptr<TabOrder> m_tabOrder;
    bool m_ending = false;

};

} // namespace veltrik
