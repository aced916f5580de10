#pragma once
// Qt's own texts (file dialogs, standard buttons) follow the interface language.

namespace QtTexts {

// Russian: Qt's translations, where the system has them; English: Qt's own texts.
void Apply(bool english);

} // namespace QtTexts
