// The readable listing of a compiled image: every table record and every instruction with its
// code offset. It is also the text form ImageAssembler reads back, so a well-formed image lists
// and assembles to the same bytes; a malformed one lists as far as it can be read, ends with an
// error line, and never makes the disassembler read outside it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace lumivar::script {

struct TListing {
    std::string Text;
    bool Malformed = false;
};

// Listing lines (";" starts a comment):
//   version 17                        header fields that are not counts
//   main P0 | main none
//   type KIND [T<elem> | T<field>...] [export 'NAME']          one per type, T0, T1, ...
//   var T<n> [export 'NAME']                                   one per global, G0, G1, ...
//   proc [export 'NAME' 'DECL']                                a script procedure; its code follows
//   import 'NAME' ['DECL']                                     an imported procedure
//   HHHH: opcode arg, arg, ...                                 one instruction at offset HHHH (hex)
//   .bytes HH HH ...                                           bytes that are no instruction
// Instruction arguments: u8 and u32 fields in decimal, type numbers as T<n> and procedure
// numbers as P<n>; jump and try offsets as ->HHHH, the absolute target in the procedure's
// code, or none; value references as G<n> (global), S+n /
// S-n / S0 (stack slot relative to the frame base), T<n>:<literal> (constant), X[<n>] and X[Y]
// (element by number or by index variable), K<kind>:<u32> (an unknown operand kind).
TListing DisassembleImage(std::string_view image);

// The instruction lines of one code block; typeKinds[n] is the value kind of type n, which
// decides the length of constant literals.
std::string DisassembleCode(std::string_view code, std::span<const std::uint8_t> typeKinds);

// Names of value kinds in listings: "U8", "S32", "Array", ... (the ValueKinds.def name
// without its "vk").
std::string_view KindListingName(std::uint8_t kind);

} // namespace lumivar::script
