// The attribute columns of the register sheet "список", as the register's column
// map names them.
#pragma once

namespace ormelin {

/// Entries of the register column map, one per attribute column of the register
/// sheet "список", in the order the register's columns are created (A..AF).
/// Each entry holds the 1-based column of its title, 0 when the title is missing.
enum SpisColumn : int {
    spFile, spShee, spOboz, spNaim, spProj, spPerv, spDesi, spChec,
    spAddb, spAddf, spNcon, spAppr, spDesd, spChed, spAddd, spNcod,
    spAppd, spIzme, spIzml, spNdoc, spIzmd, spLite, spFirm, spSpra,
    spAlit, spAdoc, spIcus, spInpo, spInpd, spInvz, spIndu, spIndd,
    kSpisColumnCount
};

}  // namespace ormelin
