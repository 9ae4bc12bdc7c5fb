// SPDX-License-Identifier: MIT
#ifndef VL_LOG_STREAM_BUFFER_H
#define VL_LOG_STREAM_BUFFER_H

#include <streambuf>
#include <string>

namespace vl {

/// A stream buffer that turns each line written into it into one log line, so library complaints reach the
/// log.
class LogStreamBuffer : public std::streambuf {
public:
    explicit LogStreamBuffer(std::string prefix);  ///< each line is logged as prefix followed by the text
    ~LogStreamBuffer() override;                   ///< logs a pending unterminated line

    void flushLine();  ///< logs the pending text, if any, as a line of its own

protected:
    ///@{
    /// Collects characters and writes each completed line to the log.
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* p_s, std::streamsize count) override;
    ///@}

private:
    static const size_t MAX_LINE = 1000;  //!< longer text is cut into several log lines

    std::string m_prefix;
    std::string m_line;
};

}  // namespace vl

#endif
