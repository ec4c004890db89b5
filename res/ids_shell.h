// Resource and control ids (fixed numbers of the program).
#pragma once
