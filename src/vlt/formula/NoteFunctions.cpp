// Facts of the note a formula runs on. Without a note: ID and class 0, no times (the zero
// stamp), no items, not a response.
#include "vlt/formula/FunctionArgs.h"
#include "vlt/formula/FunctionFamilies.h"
#include "vlt/formula/ValueCodec.h"

namespace vlt::formula {

using store::kNoError;
using store::Status;

Status FnNoteId(const NoteContext* note, std::vector<Value>&, Value* out) {
    *out = Value::Number(note ? double(note->NoteId()) : 0);
    return kNoError;
}

Status FnCreated(const NoteContext* note, std::vector<Value>&, Value* out) {
    *out = Value::Time(note ? note->Created() : store::TimeDate{});
    return kNoError;
}

Status FnModified(const NoteContext* note, std::vector<Value>&, Value* out) {
    *out = Value::Time(note ? note->Modified() : store::TimeDate{});
    return kNoError;
}

Status FnNoteClass(const NoteContext* note, std::vector<Value>&, Value* out) {
    *out = Value::Number(note ? double(note->NoteClass()) : 0);
    return kNoError;
}

Status FnHasItem(const NoteContext* note, std::vector<Value>& args, Value* out) {
    std::string name;
    if (Status s = TextArg(args[0], &name); s != kNoError)
        return s;
    ItemValue item;
    *out = Value::Bool(note && note->FindItem(name, &item));
    return kNoError;
}

// The form's name: the first entry of the "Form" item, empty when there is none.
Status FnForm(const NoteContext* note, std::vector<Value>&, Value* out) {
    Value v;
    if (Status s = ReadField(note, "Form", &v); s != kNoError)
        return s;
    *out = Value::Text(v.kind == Kind::Text && v.Count() ? v.texts[0] : std::string());
    return kNoError;
}

Status FnIsResponse(const NoteContext* note, std::vector<Value>&, Value* out) {
    *out = Value::Bool(note && note->IsResponse());
    return kNoError;
}

Status FnItem(const NoteContext* note, std::vector<Value>& args, Value* out) {
    std::string name;
    if (Status s = TextArg(args[0], &name); s != kNoError)
        return s;
    return ReadField(note, name, out);
}

} // namespace vlt::formula
