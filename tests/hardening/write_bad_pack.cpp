// write_bad_pack NAME DIR: writes the damaged datapack NAME into DIR, for the
// end-to-end script; write_bad_pack --list names every pack.
#include <cstdio>
#include <string>

#include "tests/hardening/bad_packs.h"

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--list") {
    for (const hardening::BadPack& pack : hardening::bad_packs()) std::puts(pack.name);
    return 0;
  }
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s NAME DIR | --list\n", argv[0]);
    return 2;
  }
  const hardening::BadPack* pack = hardening::find_bad_pack(argv[1]);
  if (pack == nullptr) {
    std::fprintf(stderr, "%s: no pack named %s\n", argv[0], argv[1]);
    return 2;
  }
  if (!hardening::write_pack(*pack, argv[2])) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
    return 1;
  }
  return 0;
}
