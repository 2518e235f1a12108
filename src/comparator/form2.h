#pragma once

#include "comparator/compareandmark.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;

namespace veltrik {

class Desktop;
class DocumentFiles;
class ReferencePanel;
class RichEditor;

// The comparator window: the user's article on the left, a reference article on the right, and
// "对比并标注", which colours in the article every piece of the reference found there. Its running
// totals belong to whoever opens it and outlive the window.
class Form2 : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form2)

public:
    static inline const QString kCaption = QStringLiteral("Veltrik-对比器");

    // `articleText` is the main editor's plain text, copied in on loading.
    Form2(CompareTotals &totals, const QString &articleText, Desktop &desktop);
    ~Form2() override;

    void Form_Resize();
    void Command1_Click();
    void baocun_Click();
    // Reference files beside the pasted reference: chosen files, or a folder with its subfolders.
    void addReferenceFiles();
    void addReferenceFolder();
    // Shows the reference panel beside the editors, the window growing by its width the first time.
    void showReferencePanel();

    RichEditor *RichTextBox1 = nullptr;
    RichEditor *RichTextBox2 = nullptr;
    QPushButton *Command1 = nullptr;
    QLabel *Label1 = nullptr;
    QCheckBox *Check1 = nullptr;
    // The context menu of the article editor, not shown in a menu bar.
    QMenu *yjcd = nullptr;
    // "添加参考文件": a click chooses files, its menu a folder. The panel of the files compared shows
    // beside the editors once there are any.
    QToolButton *addReferences = nullptr;
    // The menu of "添加参考文件"; other sources of references add their commands to it.
    QMenu *referenceMenu = nullptr;
    ReferencePanel *references = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void setupEditors();
    void setupControls();
    void setupMenu();
    void setDesignSize();
    void setupReferences();
    void showReferences(const QStringList &chosen);
    void placeReferences(double W, double H);

    CompareTotals &m_totals;
    Desktop &m_desktop;
    std::unique_ptr<DocumentFiles> m_files;
    // The reference editor has no open command; a file dropped onto it is read all the same.
    std::unique_ptr<DocumentFiles> m_referenceFiles;
};

} // namespace veltrik
