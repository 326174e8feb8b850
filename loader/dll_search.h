// Where a DLL named without a path is looked for: the program's folder, the system folder,
// the Windows folder, then each folder of PATH — and never the current directory, where a
// planted DLL could wait.
#ifndef ORX_LOADER_DLL_SEARCH_H
#define ORX_LOADER_DLL_SEARCH_H

#include <string>
#include <vector>

// Full paths to try in order for `name`; a name with a path is its own only candidate.
std::vector<std::string> dll_candidates(const std::string& name, const std::string& program_dir,
                                        const std::string& system_dir,
                                        const std::string& windows_dir, const std::string& path);

#endif
