#pragma once
// A coordinate-system database file made from its records for tests: the
// header line, the records as given, and the closing line with their count
// and CRC-32, as datora.dat stores them.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace testsupport {

inline std::string datoraText(const std::vector<std::string>& records) {
    std::string body = "DATORA\t1\n";
    for (const std::string& record : records)
        body += record + "\n";
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : body) {
        crc ^= c;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    char sum[9];
    std::snprintf(sum, sizeof sum, "%08x", crc ^ 0xFFFFFFFFu);
    return body + "END\t" + std::to_string(records.size()) + "\t" + sum + "\n";
}

} // namespace testsupport
