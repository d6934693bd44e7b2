#pragma once
// Icons and pictures by the names the program uses ("neu.ico", "~checked.ico", "splash.gif").
//
// The program names files of its original platform; ours are drawings of our own under
// data/icons (SVG or PNG) and data/pictures, found by the base name without "~", without the
// extension and without regard to case. A name that is a readable image file on disk (a JPEG,
// PNG, BMP or GIF the user chose) is loaded through Qt's image readers. A name that is found
// nowhere gives a null icon or pixmap: the control shows nothing.
#include <QIcon>
#include <QPixmap>
#include <QString>

#include <string>

namespace Pictures {

// The folder of the installed data files: VARN_DATA_DIR, else "data" beside or above the program,
// else the source tree's.
QString DataDir();

QIcon Icon(const std::string& name);
// The picture at its natural size (SVG drawings at their declared size), null when not found.
QPixmap Picture(const std::string& name);
// The picture drawn to fit `width` x `height` pixels, keeping its proportions.
QPixmap Picture(const std::string& name, int width, int height);

// Drops what was loaded (tests that write pictures of their own).
void ClearCache();

} // namespace Pictures
