#pragma once

// Lets assistive technology see the SDK table as a list of rows: the table
// as a list, each row as one of its items, named after its SDK and
// described by why it has no button, where it has none.
void installSdkTableAccessibility();
