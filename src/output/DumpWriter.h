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
#include "output/OutputFile.h"

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
    bool Close() { return out_.Close(); }
    // Writes out what is buffered.
    bool Flush() { return out_.Flush(); }
    bool Failed() const { return out_.Failed(); }
    // "Couldn't create dump file NAME: reason" or "Couldn't write to dump file NAME: reason";
    // empty while nothing failed.
    const std::string& ErrorText() const { return out_.ErrorText(); }

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
    COutputFile out_;
    int indent_ = 0;
};
