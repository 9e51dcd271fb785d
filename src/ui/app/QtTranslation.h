#pragma once

namespace mopira {

// Installs Qt's own Japanese texts (qtbase_ja), so that the standard dialogs and context menus
// speak Japanese like the rest of the program, whatever the user's locale. False when the
// translation is not installed on the system; Qt's English texts then stay. Safe to call more
// than once.
bool InstallQtTranslation();

}  // namespace mopira
