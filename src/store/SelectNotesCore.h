// The logic of the Select Notes dialog, apart from any window: which controls are enabled,
// the recent choices, and what OK checks and produces. The dialog shows Controls() and copies
// the user's changes back into it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "output/CompiledFormula.h"
#include "store/NoteSelector.h"
#include "store/api/Time.h"

class CSettings;
class NoteSelectorMru;

class CSelectNotesCore {
public:
    static constexpr std::size_t kMaxFormulaLength = 9999;
    static constexpr std::size_t kMaxDateTextLength = 20;
    static constexpr long kMinLimit = 1;
    static constexpr long kMaxLimit = 999999;

    // The values of the dialog's controls. The limit is the edit's text, checked on OK.
    struct Controls {
        std::string formula;
        bool onlyModified = false;
        int dateOption = NoteSelector::kInTheLast;
        std::string dateText;
        bool documents = false;
        bool designElements = false;
        bool deletionStubs = false;
        bool limitOn = false;
        std::string limitText;
    };
    struct Enabled {
        bool dateOption = false; // the "since" / "in the last" choice
        bool dateText = false;
        bool limit = false;
        bool ok = false;
    };
    // The control at fault when OK is refused.
    enum class Field { None, Formula, DateText, Limit, Kinds };
    struct Refusal {
        Field field = Field::None;
        store::Status status = store::kNoError; // the store's failure, if it was one
        // What to show; empty when it is the status's own message text (a syntax error in the
        // formula, a date the store refused).
        std::string message;
        std::string detail;           // a syntax error: what the compiler expected
        std::uint32_t selectFrom = 0; // a syntax error: the span of the formula to select
        std::uint32_t selectLength = 0;
    };

    // The dialog for a set whose selector is `current`; `acceptedBefore` tells that the set's
    // dialog was accepted once (its selector then goes into the recent list first). The
    // controls show the most recent entry, or `current` when the list is empty.
    CSelectNotesCore(NoteSelectorMru& mru, CSettings& settings, const NoteSelector& current,
                     bool acceptedBefore);

    Controls& Values() { return controls_; }
    const Controls& Values() const { return controls_; }
    Enabled Enabling() const;

    std::vector<std::string> RecentDescriptions() const;
    // The chosen recent entry, or -1 when none is chosen.
    int RecentChoice() const { return recentChoice_; }
    // Loads recent entry i (ignored when out of range).
    void ChooseRecent(std::size_t i);
    // Back to the defaults, no recent entry chosen.
    void Clear();

    // OK: checks the values, compiles the formula, works out the since time and adds the
    // selector to the recent list. False with *why filled in when the dialog must stay open.
    bool Accept(Refusal* why);

    // After Accept succeeded:
    const NoteSelector& Selector() const { return selector_; }
    const store::TimeDate& Since() const { return since_; }
    CompiledFormula TakeFormula() { return std::move(formula_); }
    // Accepted even though the recent list could not be saved: the settings' failure text.
    const std::string& SettingsError() const { return settingsError_; }

    static Controls ToControls(const NoteSelector& selector);

private:
    NoteSelectorMru& mru_;
    CSettings& settings_;
    Controls controls_;
    int recentChoice_ = -1;
    NoteSelector selector_;
    CompiledFormula formula_;
    store::TimeDate since_;
    std::string settingsError_;
};
