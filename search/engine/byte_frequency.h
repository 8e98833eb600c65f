#pragma once

// How often a byte stands in header text, in parts per million: counted
// over C and Objective-C headers, where a space is the most common byte and
// most punctuation and capitals are rare. Bytes beyond ASCII count as 1,
// rarer than any letter.
unsigned byteFrequency(unsigned char byte);
