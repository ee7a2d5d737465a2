#pragma once

#include <QString>
#include <memory>
#include <string>
#include <vector>

namespace mossleaf {

class frmMain;
class OutlineReadAhead;

// The program's start: creates the one main window and shows it.
namespace Module1 {

// Starts reading the notebook that the command line names, before Qt starts: null when it
// names none.
std::unique_ptr<OutlineReadAhead> readAhead(const QString& commandLine);

// Creates frmMain with the real settings store, gives it the command line (and what of it is
// read ahead) and shows it; showing runs Form_Load first. The program then runs in the event
// loop until the window closes.
void Main(const QString& commandLine, std::unique_ptr<OutlineReadAhead> ahead = nullptr);

// The program-wide reference to the main window (null before Main).
frmMain* mainForm();

// Frees the window and the settings store once the event loop has ended.
void finish();

// The arguments after the program's own name (argv[0]), joined by single blanks, as one
// path in LocalPath's lossless form: bytes that are not UTF-8 survive to the save.
QString commandLineFrom(const std::vector<std::string>& arguments);

}  // namespace Module1

}  // namespace mossleaf
