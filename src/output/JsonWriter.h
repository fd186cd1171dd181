// A field writer into JSON: one object per node of a walk, with its fields nested as they are
// written, streamed as it goes (nothing but the path of open fields is held) and written out in
// large blocks. docs/json.md describes the objects.
//
// Two layouts: a document (the start node's object, one field or node a line, indented, so that
// two exports diff line by line) and lines (one note with its whole subtree a line; the nodes
// above the notes a line each, without their children).
//
// As with the dump writer, the first failure to create or write the file is remembered and
// later output is dropped, so a failed export never reports success.
#pragma once

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "output/FieldWriter.h"
#include "output/OutputFile.h"

class CJsonWriter : public CFieldWriter {
public:
    enum class Layout { Document, Lines };

    // Creates (or empties) the named file.
    CJsonWriter(const std::string& fileName, CInfoPaneOptions* options, Layout layout);
    // Writes into a stream, which stays the caller's.
    CJsonWriter(std::ostream& stream, CInfoPaneOptions* options, Layout layout);
    ~CJsonWriter() override;

    // Writes out what is buffered and closes a file the writer created. False when any part of
    // the output could not be written. Safe to call more than once.
    bool Close() { return out_.Close(); }
    bool Failed() const { return out_.Failed(); }
    // "Couldn't create dump file NAME: reason" or "Couldn't write to dump file NAME: reason".
    const std::string& ErrorText() const { return out_.ErrorText(); }

    // Appends text to out as the body of a JSON string: quotes, backslashes and control bytes
    // escaped, valid UTF-8 as it is, and every byte that is not part of a valid UTF-8 sequence
    // (and every byte of a character U+F700..U+F7FF) as the character U+F700 + byte.
    static void AppendJsonText(std::string& out, std::string_view text);

protected:
    void WriteText(std::string_view text) override;
    void NewLine() override;
    void OnBeginOutput() override;
    void OnEndOutput() override;
    void OnBeginField() override;
    void OnEndField() override;
    void OnBreakLine() override;
    void OnNextValueLine() override;
    bool TakesComments() const override { return true; }
    void OnComment(std::string_view text) override;
    void OnRawNumber(double value) override;
    void OnFieldRange(std::size_t offset, std::size_t length) override;
    void OnBeginNode(const NodeHeading& heading) override;
    void OnBeginNodeFields() override;
    void OnEndNode() override;

private:
    // Which part of an object is being written: nothing after the head yet, the value string
    // (open), the fields array, the children array (open).
    enum class Part { Head, Value, Fields, Children };
    struct Frame {
        bool node = false;
        Part part = Part::Head;
        bool closed = false;       // a field that ended; settled by whatever comes next
        bool lineBreak = false;    // a line ended since the value's last text
        bool commentBreak = false; // a line ended since the last comment
        bool element = false;      // a node whose own element (WriteBegin's field) was opened
        bool elementOpen = false;
        bool valueDone = false; // the value string was closed by a field after it
        bool lineDone = false;  // a node of the lines layout whose line was ended early
        bool wholeLine = false; // a node that holds its subtree
        int rawCount = 0;
        double raw = 0;
        bool hasRange = false;
        std::size_t rangeOffset = 0;
        std::size_t rangeLength = 0;
        std::string comment;
    };

    void Out(std::string_view text);
    void OutText(std::string_view text);
    // Finishes a field that ended, now that nothing more can belong to it.
    void Settle();
    // Opens the next entry of the top object's fields (or, after children, children) array.
    void BeginEntry(bool asChild);
    void EndValue(Frame& f);
    // Writes the keys that are known only at the end, and closes the object.
    void WriteTail(Frame& f);
    // The one place where a field's byte range is written (key "range").
    void WriteRange(const Frame& f);
    void CloseFrame();
    void BeginTopValue();
    void Indent(std::size_t depth);
    bool Lines() const { return layout_ == Layout::Lines; }
    // In the lines layout, frames of nodes whose lines ended are left on the stack to be
    // popped by their EndNode; nothing is written for them.
    bool Dropping() const;
    // Whether a line of the lines layout (or the document's one value) is open.
    bool InTopValue() const;

    Layout layout_;
    COutputFile out_;
    std::vector<Frame> stack_;
    bool expectLabel_ = false; // the next WriteText is a field's label
    bool elementLabel_ = false;
    bool awaitElement_ = false; // between BeginNode and BeginNodeFields
    int topValues_ = 0;         // values written at the top level
};
