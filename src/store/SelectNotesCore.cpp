#include "store/SelectNotesCore.h"

#include "common/Settings.h"
#include "store/NoteSelectorMru.h"
#include "store/api/Conversions.h"

CSelectNotesCore::CSelectNotesCore(NoteSelectorMru& mru, CSettings& settings,
                                   const NoteSelector& current, bool acceptedBefore)
    : mru_(mru), settings_(settings), selector_(current), since_(store::EarliestTime()) {
    if (acceptedBefore && !mru_.Add(current, settings_))
        settingsError_ = settings_.LastError();
    controls_ = ToControls(current);
    if (mru_.Count() > 0)
        ChooseRecent(0);
}

CSelectNotesCore::Controls CSelectNotesCore::ToControls(const NoteSelector& s) {
    Controls c;
    c.formula = s.formula;
    c.onlyModified = s.onlyModified;
    c.dateOption = s.dateOption;
    c.dateText = s.dateText;
    c.documents = s.documents;
    c.designElements = s.designElements;
    c.deletionStubs = s.deletionStubs;
    c.limitOn = s.limitOn;
    c.limitText = std::to_string(s.limit);
    return c;
}

CSelectNotesCore::Enabled CSelectNotesCore::Enabling() const {
    Enabled e;
    e.dateOption = e.dateText = controls_.onlyModified;
    e.limit = controls_.limitOn;
    e.ok = controls_.documents || controls_.designElements || controls_.deletionStubs;
    return e;
}

std::vector<std::string> CSelectNotesCore::RecentDescriptions() const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < mru_.Count(); ++i)
        out.push_back(mru_.At(i).Description());
    return out;
}

void CSelectNotesCore::ChooseRecent(std::size_t i) {
    if (i >= mru_.Count())
        return;
    controls_ = ToControls(mru_.At(i));
    recentChoice_ = static_cast<int>(i);
}

void CSelectNotesCore::Clear() {
    controls_ = ToControls(NoteSelector{});
    recentChoice_ = -1;
}

bool CSelectNotesCore::Accept(Refusal* why) {
    *why = Refusal{};
    const Controls& c = controls_;
    auto refuse = [&](Field field, std::string message) {
        why->field = field;
        why->message = std::move(message);
        return false;
    };
    if (!Enabling().ok)
        return refuse(Field::Kinds, "Choose at least one kind of note.");
    if (c.formula.size() > kMaxFormulaLength)
        return refuse(Field::Formula, "The selection formula is longer than " +
                                          std::to_string(kMaxFormulaLength) + " characters.");
    if (c.onlyModified && c.dateText.size() > kMaxDateTextLength)
        return refuse(Field::DateText, "The date is longer than " +
                                           std::to_string(kMaxDateTextLength) + " characters.");
    // The limit is checked only while it is in force: a disabled edit cannot be corrected.
    NoteSelector sel;
    const std::optional<long> limit = CSettings::ParseInt(c.limitText);
    const bool limitValid = limit && *limit >= kMinLimit && *limit <= kMaxLimit &&
                            c.limitText.find_first_not_of(" \t0123456789") == std::string::npos;
    if (c.limitOn && !limitValid)
        return refuse(Field::Limit, "Enter a limit from " + std::to_string(kMinLimit) + " to " +
                                        std::to_string(kMaxLimit) + ".");
    sel.limit = limitValid ? std::int32_t(*limit) : selector_.limit;
    sel.formula = c.formula;
    sel.onlyModified = c.onlyModified;
    sel.dateOption = c.dateOption;
    sel.dateText = c.dateText;
    sel.documents = c.documents;
    sel.designElements = c.designElements;
    sel.deletionStubs = c.deletionStubs;
    sel.limitOn = c.limitOn;

    FormulaCompileResult compiled = CompileFormulaText(sel.formula);
    if (compiled.status != store::kNoError) {
        why->status = compiled.status;
        if (compiled.status != store::kFormulaSyntax)
            return refuse(Field::Formula, compiled.errorText);
        why->detail = compiled.errorText;
        why->selectFrom = compiled.errorOffset;
        why->selectLength = compiled.errorLength;
        return refuse(Field::Formula, {});
    }
    formula_ = std::move(compiled.formula);

    store::TimeDate since = store::EarliestTime();
    if (const store::Status s = sel.SinceTime(&since); s != store::kNoError) {
        why->status = s;
        return refuse(Field::DateText, {});
    }
    selector_ = sel;
    since_ = since;
    settingsError_.clear();
    if (!mru_.Add(selector_, settings_))
        settingsError_ = settings_.LastError();
    return true;
}
