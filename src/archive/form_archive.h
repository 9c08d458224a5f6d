// Members of TForm1 for the data archives. Included inside TForm1's class body.

// Reads the three archive indexes and name lists. False when an archive is missing or shorter than its
// index; the message naming the file has then been shown.
bool Kuri_FileInit();
// Copies entry `entry` of archive `kind` (1 SCRIPT.DAT, 2 GRAPHIC.DAT, 3 SYSGRP.DAT) into `stream`.
// Returns 0 when bytes were copied, -1 for an empty entry, 0 for an unknown kind (stream untouched).
int Kuri_ReadFile(ArchiveKind kind, int entry, std::vector<uint8_t>& stream);
// Entry number of a GRAPHIC.DAT image by name (1 or more), 0 when not listed.
int Kuri_FileNo(ArchiveKind kind, const std::u16string& name);

// The three archives, numbered as the operations number them: [0] SCRIPT.DAT, [1] GRAPHIC.DAT,
// [2] SYSGRP.DAT. Indexes and name lists are read once at start-up and kept.
std::array<ArchiveIndex, 3> ArchiveIndexes;
// Entry 0 of GRAPHIC.DAT, the only name list a lookup uses.
std::vector<std::u16string> GraphicNames;
std::vector<std::u16string> ScriptNames;
std::vector<std::u16string> SysgrpNames;
