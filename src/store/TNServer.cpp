#include "store/TNServer.h"

#include <algorithm>
#include <cstring>

#include "common/ByteReader.h"
#include "output/FieldWriter.h"
#include "store/api/Memory.h"
#include "store/api/Paths.h"
#include "store/api/Servers.h"
#include "tree/TNError.h"

namespace {
constexpr std::size_t kDisplayNameSize = 257;

std::shared_ptr<const std::string> DisplayName(const char* name, int length) {
    const std::size_t n = !name ? 0 : length < 0 ? std::strlen(name) : std::size_t(length);
    const std::string given(name ? name : "", n);
    char buffer[kDisplayNameSize];
    std::size_t shown = 0;
    if (store::NameToDisplay(given.data(), given.size(), buffer, sizeof buffer, &shown) !=
        store::kNoError) {
        return std::make_shared<const std::string>(given);
    }
    return std::make_shared<const std::string>(buffer, std::min(shown, sizeof buffer - 1));
}
} // namespace

TNLocalMachine::TNLocalMachine() : TNServerBase(nullptr, {}) {
    SetTypeId(nodetype::kLocalMachine);
    SetLabel("Local");
    SetImage(GeneralImage(23));
}

void TNLocalMachine::WriteBegin(CFieldWriter& writer) {
    writer.BeginField("local-machine");
}

void TNLocalMachine::WriteEnd(CFieldWriter& writer) {
    writer.EndField();
}

TNServer::TNServer(const char* name, int length) : TNServerBase(DisplayName(name, length), {}) {
    SetTypeId(nodetype::kServer);
    SetLabel(ServerName());
    SetImage(GeneralImage(3));
}

void TNServer::WriteBegin(CFieldWriter& writer) {
    writer.BeginField("server");
    writer.Text(GetLabel().data(), static_cast<std::ptrdiff_t>(GetLabel().size()));
}

void TNServer::WriteEnd(CFieldWriter& writer) {
    writer.EndField();
}

TNServerList::TNServerList() {
    SetTypeId(nodetype::kServerList);
    SetLabel("Servers");
    SetImage(GeneralImage(2));
    SetSorted(false);
}

void TNServerList::AddChildren() {
    if (!IsTypeShownOrHeld(nodetype::kServer)) {
        return;
    }
    store::MemHandle list{};
    std::size_t size = 0;
    const store::Status st = store::ServerNames(&list, &size);
    if (st != store::kNoError) {
        AddChild(new TNError(st, "Couldn't get list of servers"));
        return;
    }
    {
        store::LockedMem mem(list);
        size = std::min(size, mem.size());
        // u16 count, count u16 lengths, then the names; nothing is read past size.
        ByteReader r(mem.bytes(), size);
        const std::size_t count = r.u16le();
        ByteReader lengths = r.Sub(2 * count);
        for (std::size_t i = 0; i < count && !r.Short(); ++i) {
            const std::size_t length = lengths.u16le();
            const std::string_view name = r.text(length);
            if (r.Short()) {
                break; // a damaged list ends at the last whole name
            }
            if (AcceptChild(nodetype::kServer)) {
                AddChild(new TNServer(name.data(), static_cast<int>(length)));
            }
        }
    }
    store::MemFree(list);
}
