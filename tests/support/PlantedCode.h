#pragma once

// Where a program or DLL the test plants writes when it runs: proof that
// code of the user's own ran inside or under the elevated program.
#define QUIETREEL_E2E_PLANTED_RAN L"C:\\users\\Public\\quietreel-planted-code-ran.txt"
