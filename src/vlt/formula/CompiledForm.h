// The compiled form of a formula: what a formula item stores after its type word.
//
//   offset  size  meaning
//   0       4     magic "DXFM", so that foreign bytes are recognised
//   4       1     version, 1
//   5       1     flags: 0x01 the formula selects (written with `match`); other bits 0
//   6       4     u32 LE length of the whole form, header included (trailing bytes are ignored)
//   10      1     L, the number of local names; then L times: u8 length, the name's bytes
//   ..      2     u16 LE A, the number of assignments; then A times: u8 slot, node
//   ..            node: the result
//
// A node is its opcode (Op) followed by:
//   Number  f64 LE              Text  u16 LE length, bytes     Field  u8 length, bytes
//   Local   u8 slot             List  u16 LE count, nodes      Call   u8 function id, u8 count,
//   nodes If      3 nodes             Neg, Not  1 node               binary operators  2 nodes
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "store/api/Status.h"
#include "vlt/formula/Ast.h"

namespace vlt::formula {

constexpr std::uint8_t kMagic[4] = {'D', 'X', 'F', 'M'};
constexpr std::uint8_t kVersion = 1;
constexpr std::uint8_t kFlagSelects = 0x01;
constexpr std::size_t kHeaderSize = 10;

// Writes the compiled form of a program the parser built (its limits hold).
std::vector<std::uint8_t> WriteCompiled(const Program& program);

// Reads a compiled form; kFormulaDamaged for anything the writer would not have produced.
// Reads only bytes [0, length), recurses at most kMaxDepth deep.
store::Status ReadCompiled(const std::uint8_t* bytes, std::size_t length, Program* program);

} // namespace vlt::formula
