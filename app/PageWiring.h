#pragma once
// The summary pages in the form view: the page of the tree's selection level,
// and the notes of a run page committed before anything saves or reads the
// document.
namespace app {

// Makes the form view build the history, week, run or lap page of the tree's
// selection on every view update.
void InstallSummaryPages();

// Commits the notes typed on the current run or lap page, undoably, to the run
// whose page it is; nothing without such a page or when they did not change.
void CommitPageNotes();

}  // namespace app
