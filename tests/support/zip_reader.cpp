#include "support/zip_reader.hpp"

#include <gtest/gtest.h>
#include <zip.h>

namespace ledra::testing {

std::vector<ZipMember> readZip(const std::string& path) {
  std::vector<ZipMember> out;
  int error = 0;
  zip_t* za = zip_open(path.c_str(), ZIP_RDONLY, &error);
  if (!za) {
    ADD_FAILURE() << "cannot open " << path << " (libzip error " << error << ")";
    return out;
  }
  const zip_int64_t n = zip_get_num_entries(za, 0);
  for (zip_int64_t i = 0; i < n; ++i) {
    zip_stat_t st;
    zip_stat_index(za, static_cast<zip_uint64_t>(i), 0, &st);
    ZipMember m{st.name, std::string(st.size, '\0'), st.comp_method};
    if (zip_file_t* f = zip_fopen_index(za, static_cast<zip_uint64_t>(i), 0)) {
      if (st.size) zip_fread(f, m.bytes.data(), st.size);
      zip_fclose(f);
    }
    out.push_back(std::move(m));
  }
  zip_discard(za);
  return out;
}

}  // namespace ledra::testing
