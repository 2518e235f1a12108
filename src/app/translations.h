#pragma once

class QCoreApplication;

namespace veltrik {

// Qt's own texts (file dialogs, the buttons of message boxes, the browser view's context menu) in
// Chinese, like the rest of the program, whatever the system's language. Returns false when one of the
// translation catalogues could not be loaded; the program then shows that part's texts in English.
bool installChineseTranslations(QCoreApplication &application);

} // namespace veltrik
