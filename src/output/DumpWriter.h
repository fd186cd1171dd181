// A field writer into a dump file: one parenthesised field a line, nested fields indented four
// blanks deeper, comments after four blanks and "; " at the end of their line.
//
// The writer buffers its output and writes it in large blocks. The first failure to create or
// write the file is remembered (ErrorText names the file and the cause); later output is
// dropped, so a failed dump never reports success.
#pragma once

#include <cstdio>
#include <ostream>
#include <string>

#include "output/FieldWriter.h"

class CDumpWriter : public CFieldWriter {
public:
    // Creates (or empties) the named file.
    CDumpWriter(const std::string& fileName, CInfoPaneOptions* options = nullptr);
    // Writes into a stream or an open file, which stay the caller's.
    CDumpWriter(std::ostream& stream, CInfoPaneOptions* options = nullptr);
    CDumpWriter(std::FILE* file, CInfoPaneOptions* options = nullptr);
    // Closes the file it created (see Close).
    ~CDumpWriter() override;

    // Writes out what is buffered and, for a file the writer created, closes it. Returns false
    // when any part of the output could not be written. Safe to call more than once.
    bool Close();
    // Writes out what is buffered.
    bool Flush();
    bool Failed() const { return failed_; }
    // "Couldn't create dump file NAME: reason" or "Couldn't write to dump file NAME: reason";
    // empty while nothing failed.
    const std::string& ErrorText() const { return error_; }

protected:
    void WriteText(std::string_view text) override;
    void NewLine() override;
    void OnEndOutput() override;
    void OnBeginField() override;
    void OnEndField() override;
    void OnEndLabel() override;
    void OnBreakLine() override;
    void OnNextValueLine() override;
    void OnBeginComment() override;
    bool WriteHexLines(const std::uint8_t* bytes, std::size_t length, bool comments) override;

private:
    void Fail(const char* what, int error);
    // Writes text past the buffer, straight to the file or stream.
    void WriteOut(std::string_view text);

    std::string name_;
    std::FILE* file_ = nullptr;
    bool ownsFile_ = false;
    std::ostream* stream_ = nullptr;
    std::string buffer_;
    int indent_ = 0;
    bool failed_ = false;
    std::string error_;
};
