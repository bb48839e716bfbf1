#pragma once

// The Qt platform that draws pages and widgets without a screen, with the
// system's fonts: the PDF a command writes, the tests. Linux's offscreen
// platform reads fontconfig; Windows' has no font database at all (it would
// print pages without their text), where the minimal platform can be given
// the system's.
namespace HeadlessPlatform {
// Its name, as QT_QPA_PLATFORM or -platform takes it.
const char* name();
} // namespace HeadlessPlatform
