#pragma once

// Where the code page comes from; one implementation per system.

// The code page in force when the process starts (selecting it in the runtime where there is one).
int SelectInitialCodePage();

// Makes the runtime use another code page as well, where the runtime keeps one of its own.
void ActivateCodePage(int codePage);
