#pragma once

// The application's words and Qt's own in the user's language, where a
// translation is shipped; English otherwise. Before the first window.
void installTranslators();
