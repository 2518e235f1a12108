#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QAction;
class QMenu;
class QProgressBar;
class QProgressDialog;
class QTimer;

namespace veltrik {

class Desktop;
class Form2;
struct AddedFile;

// The comparator's "比对库" menu: a document library chosen as a file (created when missing) or as a
// server's connection string, documents added to it from files or folders behind a progress bar that
// can cancel, and the article checked against it. The documents found are shown in the reference panel
// as reference files are. All work with the library runs off the window's thread; one job at a time.
class LibraryMenu : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LibraryMenu)

public:
    // Adds the menu to the window's reference menu; it lives as long as the window. `location` is the
    // library chosen in an earlier window, taken up again without opening it yet.
    LibraryMenu(Form2 &window, Desktop &desktop, const QString &location = QString());
    ~LibraryMenu() override;

    void chooseLibraryFile();
    void connectToServer();
    void addFiles();
    void addFolder();
    void checkArticle();

    // The library in use (a path or a connection string); empty until one was opened.
    QString location() const { return m_location; }

    QMenu *menu = nullptr;
    QAction *current = nullptr; // names the library in use; not a command

signals:
    // A job with the library has ended and its outcome was shown.
    void jobFinished();
    // Another library was opened and is the one in use now.
    void locationChanged(const QString &location);

private:
    struct Job;

    void useLocation(const QString &location);
    void addToLibrary(const QStringList &paths);
    void reportAdding(const QString &error, const QList<AddedFile> &files, bool filesLeftOut);
    // Runs `work` off the window's thread behind a progress dialog whose cancel sets the job's flag; then
    // `done` on the window's thread.
    void runInBackground(const QString &label, std::function<void(Job &)> work, std::function<void(const Job &)> done);
    void showProgress();
    void updateActions(qsizetype documents = -1);

    Form2 &m_window;
    Desktop &m_desktop;
    QString m_location;
    QList<QAction *> m_needLibrary;
    std::shared_ptr<Job> m_job;
    QPointer<QProgressDialog> m_progress;
    QPointer<QProgressBar> m_progressBar;
    QTimer *m_progressTimer = nullptr;
};

} // namespace veltrik
