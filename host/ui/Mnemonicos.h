#pragma once
#include "HostExport.h"
#include <QSet>
#include <QString>

// Alt letters of menus and buttons.

// A caption with an Alt letter marked ('&'): the first letter of a word not yet used, else any letter not
// yet used; the letter chosen joins `used` (upper case). A literal '&' is doubled. A caption already marked
// keeps its letter; without a free letter it stays unmarked.
KELMHOST_EXPORT QString ComMnemonico(const QString& text, QSet<QChar>& used);

// The Alt letter a text marks (upper case), or a null character.
KELMHOST_EXPORT QChar Mnemonico(const QString& text);

// The text without its '&' marks ("&&" stays a literal '&').
KELMHOST_EXPORT QString SemMnemonico(const QString& text);
