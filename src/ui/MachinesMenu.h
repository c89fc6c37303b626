#pragma once

class ParametersWindow;
class QMenu;

// "Машины": a submenu of the menu given, an item for each machine file that
// came with the program, named as its file; an item opens its file as
// "Открыть опыт" opens the file chosen, asking first about unsaved
// settings. The submenu is disabled where no machine files are found.
void AddMachinesMenu(QMenu& menu, ParametersWindow& parameters);
