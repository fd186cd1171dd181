// A set of notes the user chose with the Select Notes dialog: a formula, a modification date,
// the kinds of notes and a limit on their number.
#pragma once

#include "store/NoteSelector.h"
#include "store/TNDocSetBase.h"

class CSelectNotesCore;

class TNSelectedDocSet : public TNDocSetBase {
public:
    explicit TNSelectedDocSet(TNDatabase* database);

    const NoteSelector& Selector() const { return selector_; }
    bool WasAccepted() const { return accepted_; }

    // Asks the front end's dialog; on OK the set takes the choice, relabels and redraws.
    bool RunDialog();
    // Takes an accepted dialog's choice.
    void TakeChoice(CSelectNotesCore& core);

    void WriteFields(CFieldWriter& writer) override;

    // "&Select Notes..." on a database: a new set as its last child when the dialog is accepted.
    static void SelectNotesFor(TNDatabase& database);

protected:
    const CommandMap& GetCommandMap() const override;

private:
    NoteSelector selector_;
    bool accepted_ = false;
};
