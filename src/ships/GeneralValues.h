#pragma once

namespace skarvel {

class TJournal;
class Form;
class DataSet;

// The game-wide values of the General page and the new character of the Character page.

// Fills the fields and the starting-base list from the open data set. A starting base that
// resource.ini does not know is added to the list by its nickname and shown. No journal
// lines of its own and no change marking.
void loadGeneralValues(const DataSet& dataSet, Form& form);

// The general part of the save, from "Werte für GENERAL" to the base write. Only values
// that differ from the file are written; empty fields write nothing; a value whose section
// the file lacks is not written (a Warning says so), so no section is ever added to a game
// file. The base is written only when the user picked another one (basePicked).
void saveGeneralValues(TJournal& journal, const DataSet& dataSet, const Form& form,
                       bool basePicked);

} // namespace skarvel
