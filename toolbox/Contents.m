% Wavetide
% Version 0.1.0 09-Dec-2026
%
% Periodic orthogonal wavelet transforms (length 2^J, filters from orthofilter)
%   Jostrane      - Forward transform of a signal or of each column.
%   Unjostrane    - Inverse of Jostrane.
%   Plattigan     - Forward transform of an n x n array, nested quadrants.
%   Unplattigan   - Inverse of Plattigan.
%   Tessaroy      - Synthesis of a wavelet-packet table n x (D+1).
%   Wendlock      - Translation-invariant analysis, the table of all shift paths.
%   Unwendlock    - Translation-invariant synthesis, averaging both branches.
%
% Biorthogonal wavelet transforms (centred filters from biorthofilter)
%   Morrowel      - Forward transform with a primary and a dual lowpass filter.
%   Unmorrowel    - Inverse of Morrowel with the same two filters.
%
% Fast trigonometric transforms (orthonormal, length 2^J)
%   Fennick       - DCT-II.
%   Gorsely       - DCT-III, the inverse of Fennick.
%   Pimbrel       - DST-II.
%   Yarlow        - DST-III, the inverse of Pimbrel.
%
% Cosine packets
%   Orrimac       - Smooth local cosine expansions at levels 0 to D.
%   Unorrimac     - Synthesis of a cosine-packet table.
%
% Median- and average-interpolating pyramids (length 3^J)
%   Brontal       - Median-interpolating pyramid, a 1 x 2n row.
%   Unbrontal     - Inverse of Brontal.
%   Olmister      - One step of median-interpolation refinement, n to 3n.
%   Drassock      - Average-interpolating pyramid, a 1 x 2n row.
%   Undrassock    - Inverse of Drassock.
%   Ephrandel     - One step of quadratic point-interpolation refinement.
%
% Packet tables and best bases
%   packettable   - Periodic wavelet-packet analysis, the table Tessaroy reads.
%   packetbasis   - Best basis of a packet or cosine-packet table.
%
% Denoising
%   noiselevel    - Noise level from the finest details.
%   shrinkdetails - Soft or hard thresholding of the details.
%   noisegain     - Each level's noise gain of Morrowel's details.
%   denoise       - Transform, noise level, threshold and inverse in one call.
%
% Signals of any length
%   extendsignal  - Extension to the next 2^J, 3^J or a given length, and back.
%
% Filter banks
%   orthofilter   - Orthonormal lowpass filters (Haar, Daubechies, symmlets, coiflets).
%   biorthofilter - Symmetric biorthogonal pairs (CDF 5/3 and 9/7).
%
% Overview and building
%   wavetide      - Overview of the toolbox.
%   build_plugins - Compile the plug-ins with the host's mex.
