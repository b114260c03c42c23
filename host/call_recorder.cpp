// The recorder pointer, and the loading of the trace library when the host
// library itself loads with ZDI_TRACE set.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/zd_call_recorder.h"

ZD_Call_Recorder* ZD_call_recorder = nullptr;

void ZD_Set_Call_Recorder(ZD_Call_Recorder* recorder) { ZD_call_recorder = recorder; }

namespace {

// The folder this library was loaded from, with a trailing slash ("" when unknown).
std::string own_folder() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&ZD_Set_Call_Recorder), &info) || !info.dli_fname)
    return {};
  std::string path = info.dli_fname;
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The trace library lies next to the host library (in the build's output folder
// and in an installed lib folder alike).  Loading it runs its start-up, which
// reads ZDI_TRACE and installs its recorder; it stays loaded until the program
// ends, when it finishes the file.  A program that links the trace library has
// it loaded already, and loading it again changes nothing.  The host library
// itself does not link it: programs that never record never load it, and the
// trace library's dependencies stay out of the host library.
struct Trace_Library_From_Environment {
  Trace_Library_From_Environment() {
    const char* file = std::getenv(ZD_Trace_Variable);
    if (!file || !*file) return;
    const std::string library = own_folder() + ZDI_TRACE_LIBRARY;
    if (!dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL)) {
      const char* reason = dlerror();
      std::fprintf(stderr, "%s is set, but the trace library cannot be loaded: %s\n",
                   ZD_Trace_Variable, reason ? reason : library.c_str());
    }
  }
};
Trace_Library_From_Environment trace_library_from_environment;

}  // namespace
