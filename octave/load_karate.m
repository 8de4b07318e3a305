% net = load_karate (folder)
%   Reads Zachary's karate club from FOLDER: net.G is the 34-by-34 sparse 0/1 friendship
%   matrix, net.faction the faction (1 or 2) each member joined, net.n the number of members.
function net = load_karate (folder)
  edges = load (fullfile (folder, 'karate_club_edges.txt'));
  factions = load (fullfile (folder, 'karate_club_factions.txt'));
  net.n = max (edges(:));
  G = sparse (edges(:,1), edges(:,2), 1, net.n, net.n);
  net.G = G + G';
  net.faction = factions(:,2);
end
