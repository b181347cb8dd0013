// Everything the worker thread does: the manifest, the download folder and
// names, the removal of an old setup file, the download, then exactly one
// outcome through finish.
#pragma once

#include "indir/indirme.hpp"

namespace velmor {

// Sets "Son sürüm bilgisi alınıyor…", fetches the manifest, sets the
// download announcement, prepares the folder, removes a leftover setup file
// of this version and downloads. Its last act, on every path, is one finish
// with the setup path or the failing step's sentence, unchanged.
void run_download_job(const JobEnvironment& env);

}  // namespace velmor
