#pragma once
class CDialogMainA;

// Gives the hub every protocol page the program has. The one place that knows them all.
void RegisterPages(CDialogMainA* hub);
