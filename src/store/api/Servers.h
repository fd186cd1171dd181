// Named servers.
//
// The servers this machine knows are listed in "servers.ini" in the data directory, one section
// per server, named by the server's name (hierarchical names such as "CN=Alpha/O=Acme" are fine;
// a server is found by its name or by its display form, letter case ignored):
//
//   [CN=Alpha/O=Acme]
//   Directory=srv-alpha      ; the directory it serves: relative to the data directory or absolute
//   Release=166              ; optional: the release number it reports (0 or absent: none)
//   LatencyToServer=12       ; optional, milliseconds; with LatencyFromServer both are reported
//   LatencyFromServer=15     ; as configured, else they are measured on the served directory
//
// A server reached over the network (vlt-serverd) has an address instead of a directory:
//
//   [CN=Delta/O=Acme]
//   Address=127.0.0.1:7460   ; host:port of its vlt-serverd
//   Certificate=ca.pem       ; optional: the authority that signed the server's (TLS)
//   ClientCertificate=me.pem ; optional, with ClientKey: presented to a server that asks
//   ClientKey=me.key
//   Timeout=10000            ; optional: milliseconds each call may take (default 10000)
//
// Its latency is measured by a call to it and its release is the one it reports; a call it does
// not answer in time gives kServerNotResponding, one that refuses the connection at the TLS level
// kServerRefused (kServerNotTrusted when its certificate is not trusted), and failures it reports
// carry kStatusRemote.
// File names are taken from the data directory when relative.
//
// Lines starting with ';' or '#' are comments. A server without a usable directory is listed but
// does not respond (kServerNotResponding).
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/api/Memory.h"
#include "store/api/Status.h"

namespace store {

// The known server names, in the order of the settings: a new handle (the caller frees it) of
// *size bytes laid out as u16 count, count u16 lengths, then the names without terminators
// (all little-endian). No servers: a handle of two zero bytes.
Status ServerNames(MemHandle* list, std::size_t* size);

struct ServerLatency {
    std::uint32_t toServer = 0;   // milliseconds, client to server
    std::uint32_t fromServer = 0; // milliseconds, server to client
    std::uint16_t release = 0;    // the release number the server reports, 0: not reported
};
// kServerUnknown for a name no setting knows; kServerNotResponding when its directory is
// missing.
Status GetServerLatency(const char* server, ServerLatency* latency);

} // namespace store
