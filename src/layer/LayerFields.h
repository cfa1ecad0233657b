#pragma once

#include <string_view>

// The names of the layer fields, as the table and the card files know them.
// Everything that reads or writes a layer field names it through these.
namespace Field {

inline constexpr std::string_view sorszam = "sorszam";
inline constexpr std::string_view tipus = "tipus";
inline constexpr std::string_view tipus_nev = "tipus_nev";
inline constexpr std::string_view nev = "nev";
inline constexpr std::string_view left = "left";
inline constexpr std::string_view top = "top";
inline constexpr std::string_view width = "width";
inline constexpr std::string_view height = "height";
inline constexpr std::string_view betutipus = "betutipus";
inline constexpr std::string_view betumeret = "betumeret";
inline constexpr std::string_view felkover = "felkover";
inline constexpr std::string_view dolt = "dolt";
inline constexpr std::string_view alahuzott = "alahuzott";
inline constexpr std::string_view igazitas = "igazitas";
inline constexpr std::string_view hatterszin = "hatterszin";
inline constexpr std::string_view szin = "szin";
inline constexpr std::string_view kep = "kep";
inline constexpr std::string_view keptip = "keptip";
inline constexpr std::string_view alakzat = "alakzat";
inline constexpr std::string_view vastag = "vastag";
inline constexpr std::string_view compnev = "compnev";
inline constexpr std::string_view brushcolor = "brushcolor";
inline constexpr std::string_view brushstyle = "brushstyle";
inline constexpr std::string_view shape = "shape";
inline constexpr std::string_view pencolor = "pencolor";
inline constexpr std::string_view penstyle = "penstyle";
inline constexpr std::string_view penwidth = "penwidth";
inline constexpr std::string_view strech = "strech";

// Every name above, in the table's order.
inline constexpr std::string_view All[] = {sorszam, tipus,     tipus_nev,  nev,       left,       top,    width,
                                           height,  betutipus, betumeret,  felkover,  dolt,       alahuzott,
                                           igazitas, hatterszin, szin,     kep,       keptip,     alakzat,
                                           vastag,  compnev,   brushcolor, brushstyle, shape,     pencolor,
                                           penstyle, penwidth, strech};

} // namespace Field
